// Program entry: the command-line answers and the batch run without any window; otherwise the
// main window, then the settings dialog, then the event loop.

#include <cstdio>
#include <cstring>
#include <exception>
#include <optional>

#include <QApplication>
#include <QMessageBox>
#include <QStringList>

#include "headless/BatchRun.h"
#include "headless/RunOptions.h"
#include "gui/window/ProgramWindows.h"
#include "gui/view/PicturePng.h"

namespace {

constexpr const char* Usage =
    "Usage: quillmarch [FILE]\n"
    "  or:  quillmarch --batch [OPTION]...\n"
    "  or:  quillmarch --help | --version\n";

constexpr const char* Description =
    "Runs Langton's ant with many ants at once on an unbounded grid, in a window or as a batch run.\n"
    "\n"
    "FILE is a world file (.qmw), opened to be looked at or continued, or a definition text,\n"
    "loaded into the editor as \"Load\" does.\n"
    "\n"
    "Options:\n"
    "  --help               print this help and exit\n"
    "  --version            print the version and exit\n"
    "  --batch              run without a window and print one result line; the options\n"
    "                       below set up the run\n";

// The toolkit's own options, and whether each takes a value; every other argument that begins
// with '-' is none the program knows.
struct ToolkitOption {
    const char* name;
    bool takesValue;
};
constexpr ToolkitOption ToolkitOptions[] = {
    {"platform", true},   {"platformpluginpath", true}, {"platformtheme", true}, {"plugin", true},
    {"qwindowgeometry", true}, {"geometry", true},     {"qwindowtitle", true},  {"title", true},
    {"qwindowicon", true}, {"icon", true},             {"style", true},         {"stylesheet", true},
    {"session", true},    {"display", true},           {"name", true},          {"qmljsdebugger", true},
    {"reverse", false},   {"widgetcount", false},      {"nograb", false},       {"dograb", false},
    {"sync", false},
};

const char* unknownOption(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        const char* arg = argv[i];
        if (arg[0] != '-') continue;
        const char* name = arg + (arg[1] == '-' ? 2 : 1);
        const char* equals = std::strchr(name, '=');
        const std::size_t length = equals ? static_cast<std::size_t>(equals - name) : std::strlen(name);
        const ToolkitOption* known = nullptr;
        for (const ToolkitOption& option : ToolkitOptions)
            if (std::strlen(option.name) == length && std::strncmp(option.name, name, length) == 0) known = &option;
        if (!known) return arg;
        if (known->takesValue && !equals) ++i;
    }
    return nullptr;
}

// What is answered before any window exists; nothing when the window is wanted.
std::optional<int> commandLineOnly(int argc, char** argv) {
    if (argc < 2) return std::nullopt;
    if (std::strcmp(argv[1], "--batch") == 0)
        return qmheadless::runBatch(argc - 1, argv + 1,
                                 [](const qm::World& world, const qm::WorldDocument& document, const std::string& path,
                                    int32_t scale) {
                                     return qm::writeWholePicturePngInDefaultColours(
                                         world, document.settings.spectrum, path, scale);
                                 });
    if (std::strcmp(argv[1], "--help") == 0) {
        std::printf("%s%s%s", Usage, Description, qmheadless::batchOptionsHelp());
        return 0;
    }
    if (std::strcmp(argv[1], "--version") == 0) {
        std::printf("quillmarch %s\n", QM_VERSION);
        return 0;
    }
    // Refused before the toolkit starts, which would abort without a display before the
    // arguments are looked at.
    if (const char* unknown = unknownOption(argc, argv)) {
        std::fprintf(stderr, "quillmarch: unexpected argument: %s\n%s", unknown, Usage);
        return 2;
    }
    return std::nullopt;
}

}  // namespace

int main(int argc, char** argv) {
    if (const std::optional<int> exitCode = commandLineOnly(argc, argv)) return *exitCode;
    QApplication app(argc, argv);
    // No display name: the platform would append it to every window title ("About" included).
    QApplication::setApplicationName(QStringLiteral("Quillmarch"));
    // What the toolkit did not take: at most one file.
    const QStringList arguments = QApplication::arguments().mid(1);
    if (arguments.size() > 1 || (arguments.size() == 1 && arguments[0].startsWith(QLatin1Char('-')))) {
        std::fprintf(stderr, "quillmarch: unexpected argument: %s\n%s", qPrintable(arguments.back()), Usage);
        return 2;
    }
    try {
        return runProgramWindows(app, arguments);
    } catch (const std::exception& e) {
        QMessageBox::critical(nullptr, QApplication::applicationName(), QString::fromLocal8Bit(e.what()));
    } catch (...) {
        QMessageBox::critical(nullptr, QApplication::applicationName(), QStringLiteral("Unknown error"));
    }
    return 1;
}
