#include "pakcheck/Options.h"

#include <iterator>

namespace pakcheck {

namespace {

const char* const kLanguages[] = {"GER", "ENG", "FRA", "POL"};

}  // namespace

bool Options::Parse(int argc, const char* const* argv, Options* options, std::string* error) {
    *options = Options();
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        if (argument == "--help" || argument == "-h") {
            options->help = true;
        } else if (argument == "--version") {
            options->version = true;
        } else if (argument == "--list-findings") {
            options->listFindings = true;
        } else if (argument == "--json") {
            options->json = true;
        } else if (argument == "--host" || argument == "--lang") {
            if (i + 1 == argc) {
                *error = argument + " needs a value";
                return false;
            }
            const std::string value = argv[++i];
            if (argument == "--host") {
                options->hostDir = value;
                continue;
            }
            bool known = false;
            for (const char* language : kLanguages) known = known || value == language;
            if (!known) {
                *error = "unknown language \"" + value + "\" (GER, ENG, FRA or POL)";
                return false;
            }
            options->languages = {value};
        } else if (argument.size() > 1 && argument[0] == '-') {
            *error = "unknown option " + argument;
            return false;
        } else if (options->packageDir.empty()) {
            options->packageDir = argument;
        } else {
            *error = "only one package folder, please";
            return false;
        }
    }
    if (options->help || options->version || options->listFindings) return true;
    if (options->packageDir.empty()) {
        *error = "no package folder given";
        return false;
    }
    if (options->languages.empty())
        options->languages.assign(std::begin(kLanguages), std::end(kLanguages));
    return true;
}

const char* Options::Usage() {
    return "usage: pakcheck PACKAGE_DIR [--host HOST_DIR] [--lang GER|ENG|FRA|POL] [--json]\n"
           "       pakcheck --list-findings | --help | --version\n"
           "\n"
           "Reads a package the way the installer will and tells what it will do with it.\n"
           "\n"
           "Options:\n"
           "  --host HOST_DIR  also plan an installation into this host folder (nothing is "
           "written)\n"
           "  --lang LANG      check the catalogue texts of one language only (GER, ENG, FRA or\n"
           "                   POL) and quote the installer's messages in it (default: English)\n"
           "  --json           write the report as JSON\n"
           "  --list-findings  list the codes of all findings with their severities\n"
           "  --help           show this text\n"
           "  --version        show the version of pakcheck\n"
           "\n"
           "Exit status:\n"
           "  0  no errors (warnings and notes may be reported)\n"
           "  1  the package has errors\n"
           "  2  the package folder cannot be read, the command line is wrong or the report\n"
           "     cannot be written\n";
}

const char* Options::Version() {
    return "pakcheck " PAKCHECK_VERSION "\n";
}

}  // namespace pakcheck
