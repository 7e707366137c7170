// A whole installation run as a user of the system's language sees it: every
// message box the program shows for the engine's questions, in order, with
// its arguments in their places. Runs once per locale with the texts.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/InstallMessageBoxes.h"
#include "app/tests/ScriptedMessageBox.h"
#include "app/tests/Translations.h"
#include "engine/tests/TestInstallation.h"
#include "tests/support/TestFiles.h"

namespace {

using namespace testfiles;

const Translations kSourceMissing{
    "Eine Datei aus dem Installationsskript kann nicht gefunden werden.\n %s",
    "A file from the installation script cannot be found.\n %s",
    "Un fichier défini dans le script d'installation ne peut etre trouvé.\n%s",
    "Brak pliku zawartego w skrypcie instalacyjnym .\n %s"};

const Translations kNewerFile{
    "Eine vorhandene Datei \n\t %s\nist neuer als die zu installierende \n\t%s\nSoll die Datei "
    "beibehalten werden? (empfohlen) \nDrücken Sie Abbrechen um diese Meldung nicht mehr "
    "anzuzeigen.",
    "The file: \n\n%s\n\nis of a newer version than the one it is to be replaced with: \n\n%s.\n\n"
    "It is recommended to keep the file.  \n\nShould the present file be kept?",
    "Le fichier: \n\n%s\n\n est plus récent que le fichier de remplacement: \n\n%s.\n\nIl est "
    "recommandé de conserver le fichieractuel.\n\nLe fichier actuel doit-il etre conservé?",
    "Plik: \n\n%s\n\njest nowszą wersją pliku niż ten którym ma być zastąpiony: \n\n%s.\n\nZaleca "
    "się pozostawienie tego pliku. \n\nCzy pozostawić ten plik?"};

const Translations kCopyFailed{
    "Kopieren der Dateien fehlgeschlagen",
    "Copying of the file %s to %s failed. Maybe a write protection is set?",
    "Echec de copie du fichier %s vers %s. Une protection contre l'écriture est-elle mise place?",
    "Kopiowanie pliku %s do %s zakończone niepowodzeniem. Sprawdź czy ochrona przed zapisem jest "
    "wyłączona ?"};

const Translations kScriptMissing{
    "Das Skriptfile InstSkript.txt fehlt. Dieses enthält die Installationsinformationen und muss "
    "im selben Verzeichnis wie Pakwerk stehen.",
    "The skript file InstSkript.txt is missing. This contains installation information and must "
    "reside in the same directory as Pakwerk.",
    "Le fichier InstSkript.txt est absent. Il contient le script d'installation et doit se trouver "
    "dans le meme répertoire que Pakwerk.",
    "Brak pliku InstSkript.txt. Plik ten zawiera informacje o instalacji i musi być w tym samym "
    "katalogu co program Pakwerk."};

TEST(LanguageRun, ShowsEveryMessageInTheSystemsLanguage) {
    TestInstallation installation;
    Write(installation.Host("Resourcen\\Parallels\\Texturen.txt"), "Basis{\r\n}\r\n");
    installation.WriteScript(
        "Dateinstallation {\r\n"
        "  { fehlt.3dm >> fehlt.3dm }\r\n"
        "  { neuer.3dm >> neuer.3dm }\r\n"
        "  { escape.3dm >> ..\\escape.3dm }\r\n"
        "}\r\n"
        "Texturskript { }\r\n");
    for (const char* name : {"neuer.3dm", "escape.3dm"}) {
        Write(installation.Package(name), "paket");
        SetWriteTime(installation.Package(name), kOld);
    }
    Write(installation.Host("neuer.3dm"), "host");
    SetWriteTime(installation.Host("neuer.3dm"), kNew);

    ScriptedMessageBox boxes({IDYES});
    InstallMessageBoxes questions;
    const TestInstallation::Outcome outcome = installation.Run(questions);

    EXPECT_EQ(E_FAIL, outcome.status);
    const std::vector<ShownBox> expected = {
        {kSourceMissing.ForSystem({installation.Package("fehlt.3dm")}), MB_OK},
        {kNewerFile.ForSystem({installation.Host("neuer.3dm"), installation.Package("neuer.3dm")}),
         MB_YESNOCANCEL},
        {kCopyFailed.ForSystem(
             {installation.Package("escape.3dm"), installation.Host("..\\escape.3dm")}),
         MB_OK},
    };
    EXPECT_EQ(expected, boxes.Shown());
    EXPECT_EQ("host", Read(installation.Host("neuer.3dm")));
}

TEST(LanguageRun, MissingScriptIsReportedInTheSystemsLanguage) {
    TestInstallation installation;
    ScriptedMessageBox boxes;
    InstallMessageBoxes questions;

    const TestInstallation::Outcome outcome = installation.Run(questions);

    EXPECT_EQ(E_FAIL, outcome.status);
    const std::vector<ShownBox> expected = {{kScriptMissing.ForSystem(), MB_OK}};
    EXPECT_EQ(expected, boxes.Shown());
}

}  // namespace
