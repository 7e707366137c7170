#include "e2e/ExpectedTexts.h"

#include "automation/Utf8.h"

#include <windows.h>

#include <cstdarg>
#include <cstdio>
#include <map>
#include <vector>

namespace expected {
namespace {

// Refusal texts: the same German text in every language.
const char* const k115 =
    u8"Zur korrekten Darstellung der Inhalte des Artikels wird die Installation\nvon Trako %d.0 "
    u8"dringend "
    u8"vorausgesetzt!\n\nBei der Überprüfung der vorhandenen Komponenten wurde festgestellt,\ndass "
    u8"die aktuell "
    u8"benutzte Programmversion von Trako niedriger ist als\ndie vorausgesetzte, womit die "
    u8"Installation der "
    u8"Artikelinhalte vorsorglich\nabgebrochen wird. Bitte erwerben Sie die aktuelle Version von "
    u8"Trako!";
const char* const k116Before =
    u8"Zur korrekten Darstellung der Inhalte des Artikels wird die Installation\nvon Trako %d.0 "
    u8"mit dem Patch %d "
    u8"dringend vorausgesetzt!\n\nBei der Überprüfung der vorhandenen Komponenten wurde "
    u8"festgestellt,\ndass die "
    u8"vorausgesetzte Patch-Version noch nicht installiert wurde,\nwomit die Installation der "
    u8"Artikelinhalte "
    u8"vorsorglich abgebrochen wird.\nDie Patches zu allen Trako-Versionen sind kostenlos und "
    u8"können von\nden "
    u8"Internet-Seiten des Herstellers unter ";
const char* const k116Between = u8" bzw.\n";
const char* const k116After = u8" heruntergeladen werden.";
const char* const k117 =
    u8"Zur korrekten Darstellung der Inhalte des Artikels wird die Installation\nvon Trako 5.0 mit "
    u8"Plug-in "
    u8"%sdringend vorausgesetzt!\n\nBei der Überprüfung der vorhandenen Komponenten wurde "
    u8"festgestellt,\ndass die "
    u8"vorausgesetzte Plug-in-Version nicht vorhanden ist, womit die\nInstallation der "
    u8"Artikelinhalte vorsorglich "
    u8"abgebrochen wird.\nBitte erwerben Sie die genannte Plug-in-Version um die Inhalte "
    u8"des\nArtikels "
    u8"installieren zu können.";

using Table = std::map<int, const char*>;

const Table kGerman = {
    {101, u8"&Info über Pakwerk..."},
    {102,
     u8"Das Skriptfile InstSkript.txt fehlt. Dieses enthält die Installationsinformationen und "
     u8"muss im selben "
     u8"Verzeichnis wie Pakwerk stehen."},
    {103,
     u8"Eine vorhandene Datei \n\t %s\nist neuer als die zu installierende \n\t%s\nSoll die Datei "
     u8"beibehalten "
     u8"werden? (empfohlen) \nDrücken Sie Abbrechen um diese Meldung nicht mehr anzuzeigen."},
    {104, u8"Schienwerk professional ist nicht installiert"},
    {105, u8"Bei der Installation ist ein Fehler aufgetreten"},
    {106, u8"Die Installation wurde erfolgreich abgeschlossen"},
    {107, u8"Kopieren der Dateien fehlgeschlagen"},
    {108, u8"Eine Datei aus dem Installationsskript kann nicht gefunden werden.\n %s"},
    {109, u8"Dieses Programm installiert zusätzliche Modelle zum Programm Baukanter."},
    {110, u8"Abbrechen"},
    {111, u8"OK"},
    {112, u8"Installieren"},
    {113, u8"Installation wählen"},
    {114, u8"Beschreibung:"},
};

const Table kEnglish = {
    {101, u8"Inf&o about Pakwerk..."},
    {102,
     u8"The skript file InstSkript.txt is missing. This contains installation information and must "
     u8"reside in "
     u8"the same directory as Pakwerk."},
    {103,
     u8"The file: \n\n%s\n\nis of a newer version than the one it is to be replaced with: "
     u8"\n\n%s.\n\nIt is "
     u8"recommended to keep the file.  \n\nShould the present file be kept?"},
    {104, u8"Zelmo 2008 is not installed on this system. Installation aborted."},
    {105, u8"Error during installation process."},
    {106, u8"Installation successful!"},
    {107, u8"Copying of the file %s to %s failed. Maybe a write protection is set?"},
    {108, u8"A file from the installation script cannot be found.\n %s"},
    {109, u8"This program installs additional models for the program Baukanter"},
    {110, u8"Quit"},
    {111, u8"OK"},
    {112, u8"Install"},
    {113, u8"Select Installation"},
    {114, u8"Description:"},
};

const Table kFrench = {
    {101, u8"Au sujet de Pakwerk"},
    {102,
     u8"Le fichier InstSkript.txt est absent. Il contient le script d'installation et doit se "
     u8"trouver dans le "
     u8"meme répertoire que Pakwerk."},
    {103,
     u8"Le fichier: \n\n%s\n\n est plus récent que le fichier de remplacement: \n\n%s.\n\nIl est "
     u8"recommandé "
     u8"de conserver le fichieractuel.\n\nLe fichier actuel doit-il etre conservé?"},
    {104, u8"Zelmo 2008 n'est pas installé sur le systeme. Installation interrompue."},
    {105, u8"Erreur au cours du processus d'installation."},
    {106, u8"Installation terminée avec succes!"},
    {107,
     u8"Echec de copie du fichier %s vers %s. Une protection contre l'écriture est-elle mise "
     u8"place?"},
    {108, u8"Un fichier défini dans le script d'installation ne peut etre trouvé.\n%s"},
    {109, u8"Ce programme installe des modeles additionnels pour utilisation par Baukanter"},
    {110, u8"Quitter"},
    {111, u8"OK"},
    {112, u8"Installer"},
    {113, u8"Choisissez L'Installation"},
    {114, u8"Description:"},
};

const Table kPolish = {
    {101, u8"&O programie Pakwerk..."},
    {102,
     u8"Brak pliku InstSkript.txt. Plik ten zawiera informacje o instalacji i musi być w tym samym "
     u8"katalogu co "
     u8"program Pakwerk."},
    {103,
     u8"Plik: \n\n%s\n\njest nowszą wersją pliku niż ten którym ma być zastąpiony: "
     u8"\n\n%s.\n\nZaleca się "
     u8"pozostawienie tego pliku. \n\nCzy pozostawić ten plik?"},
    {104,
     u8"Program Trako Profesjonalny Symulator Kolei nie jest zainstalowany. Instalacja przerwana."},
    {105, u8"Błąd podczas instalacji."},
    {106, u8"Instalacja zakończona pomyślnie !"},
    {107,
     u8"Kopiowanie pliku %s do %s zakończone niepowodzeniem. Sprawdź czy ochrona przed zapisem "
     u8"jest "
     u8"wyłączona ?"},
    {108, u8"Brak pliku zawartego w skrypcie instalacyjnym .\n %s"},
    {109, u8"Aplikacja ta instaluje dodatkowe modele do programu Baukanter"},
    {110, u8"Wyjście"},
    {111, u8"OK"},
    {112, u8"Zainstaluj"},
    {113, u8"Wybierz typ instalacji"},
    {114, u8"Opis:"},
};

const char* Utf8Text(int baseId) {
    if (baseId == 115) return k115;
    if (baseId == 117) return k117;
    const Table* table = &kEnglish;
    switch (CurrentLanguage()) {
    case Language::German: table = &kGerman; break;
    case Language::French: table = &kFrench; break;
    case Language::Polish: table = &kPolish; break;
    case Language::English: break;
    }
    const auto found = table->find(baseId);
    return found == table->end() ? "" : found->second;
}

std::wstring FormatUtf8(const char* format, va_list arguments) {
    va_list copy;
    va_copy(copy, arguments);
    const int length = std::vsnprintf(nullptr, 0, format, copy);
    va_end(copy);
    std::vector<char> text(static_cast<size_t>(length) + 1);
    std::vsnprintf(text.data(), text.size(), format, arguments);
    return automation::Widen(text.data());
}

std::wstring FormatUtf8(const char* format, ...) {
    va_list arguments;
    va_start(arguments, format);
    std::wstring text = FormatUtf8(format, arguments);
    va_end(arguments);
    return text;
}

}  // namespace

Language CurrentLanguage() {
    switch (GetSystemDefaultLangID() & 0x3FF) {
    case 7: return Language::German;
    case 12: return Language::French;
    case 21: return Language::Polish;
    default: return Language::English;
    }
}

const char* LanguageName(Language language) {
    switch (language) {
    case Language::German: return "German";
    case Language::French: return "French";
    case Language::Polish: return "Polish";
    case Language::English: return "English";
    }
    return "?";
}

std::wstring Text(int baseId) {
    return automation::Widen(Utf8Text(baseId));
}

std::wstring Format(int baseId, ...) {
    va_list arguments;
    va_start(arguments, baseId);
    std::wstring text = FormatUtf8(Utf8Text(baseId), arguments);
    va_end(arguments);
    return text;
}

Message116Frame Frame116(int version, int patch) {
    return {FormatUtf8(k116Before, version, patch), automation::Widen(k116Between),
            automation::Widen(k116After)};
}

bool Matches116(const std::wstring& shown, int version, int patch) {
    const Message116Frame frame = Frame116(version, patch);
    if (shown.compare(0, frame.beforeFirstAddress.size(), frame.beforeFirstAddress) != 0)
        return false;
    if (shown.size() < frame.beforeFirstAddress.size() + frame.afterSecondAddress.size())
        return false;
    if (shown.compare(shown.size() - frame.afterSecondAddress.size(),
                      frame.afterSecondAddress.size(), frame.afterSecondAddress) != 0) {
        return false;
    }
    const std::wstring addresses = shown.substr(frame.beforeFirstAddress.size(),
                                                shown.size() - frame.beforeFirstAddress.size() -
                                                    frame.afterSecondAddress.size());
    const size_t between = addresses.find(frame.betweenAddresses);
    if (between == std::wstring::npos || between == 0) return false;
    const std::wstring first = addresses.substr(0, between);
    const std::wstring second = addresses.substr(between + frame.betweenAddresses.size());
    return !second.empty() && first.find_first_of(L" \n\r\t") == std::wstring::npos &&
           second.find_first_of(L" \n\r\t") == std::wstring::npos;
}

}  // namespace expected
