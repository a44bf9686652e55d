#include "exchange/exchange_windows.h"

#include <QDir>

#include "data/error_reporter.h"
#include "data/message_table.h"
#include "data/tables.h"
#include "exchange/replace_confirmation.h"
#include "ui/window_host.h"

namespace mvz {

namespace {

QString native(const std::string& path) {
    return QDir::toNativeSeparators(QString::fromStdString(path));
}

// An error reporter for the worker's reporter, with the table messages.
struct WorkerErrors {
    explicit WorkerErrors(Reporter& reporter) : errors(reporter) {
        errors.addMessages(standardMessages());
    }
    ErrorReporter errors;
};

// Before data are replaced: the source must hold an employer table (the
// import), and the user must say "DA".
bool askBeforeReplacing(FolderRunWindow& window, const std::string& folder, bool needsEmployers) {
    if (needsEmployers && !holdsEmployerTable(folder)) {
        window.say("Greška. Pogrešan pretinac!", true);
        return false;
    }
    return confirmReplacingData(&window);
}

QWidget* open(const WindowContext& context, FolderRunSpec decl) {
    auto* window =
        new FolderRunWindow(std::make_unique<Tables>(context.dataDir, context.errors), decl);
    if (!window->start()) return nullptr; // it deletes itself
    return window;
}

} // namespace

FolderRunSpec exportSpec(const std::string& dataDir) {
    FolderRunSpec decl;
    decl.title = QStringLiteral("Export datoteka");
    decl.notes = {QStringLiteral(
        "Pomoću ove opcije exportiramo-kopiramo ključne datoteke u zaseban pretinac.")};
    decl.prompt = QStringLiteral("Odredite lokaciju");
    decl.width = 128;
    decl.preset = native(defaultExchangeFolder(dataDir));
    decl.runCaption = QStringLiteral("&Export");
    decl.run = [dataDir](const std::string& folder, Reporter& reporter) {
        return exportDatabase(dataDir, folder, reporter);
    };
    return decl;
}

FolderRunSpec importSpec(const std::string& dataDir) {
    FolderRunSpec decl;
    decl.title = QStringLiteral("Import podataka");
    decl.prompt = QStringLiteral("Ulazni pretinac");
    decl.width = 255;
    decl.preset = native(defaultExchangeFolder(dataDir));
    decl.warning = {QStringLiteral("VAŽNA NAPOMENA:"),
                    QStringLiteral("Postojeći podaci biti će zamijenjeni podacima iz ulaznog "
                                   "pretinca!")};
    decl.runCaption = QStringLiteral("&Preuzmi");
    decl.alone = true;
    decl.before = [](FolderRunWindow& window, const std::string& folder) {
        return askBeforeReplacing(window, folder, true);
    };
    decl.run = [dataDir](const std::string& folder, Reporter& reporter) {
        WorkerErrors worker(reporter);
        return importDatabase(dataDir, folder, worker.errors);
    };
    return decl;
}

FolderRunSpec takeoverSpec(const std::string& dataDir) {
    FolderRunSpec decl;
    decl.title = QStringLiteral("Preuzimanje podataka iz M-Vz 2005");
    decl.noteTitle = QStringLiteral("Napomena");
    decl.notes = {QStringLiteral("Pomoću ove opcije preuzimamo podatke iz aplikacije M-Vz 2005")};
    decl.prompt = QStringLiteral("Gdje se nalaze podaci iz M-Vz 2005 aplikacije");
    decl.width = 120;
    decl.preset = native(defaultTakeoverFolder());
    decl.runCaption = QStringLiteral("Preuzmi podatke");
    decl.cancelCaption = QStringLiteral("Odustani");
    decl.resultLine = true;
    decl.alone = true;
    decl.before = [](FolderRunWindow& window, const std::string& folder) {
        return askBeforeReplacing(window, folder, false);
    };
    decl.run = [dataDir](const std::string& folder, Reporter& reporter) {
        WorkerErrors worker(reporter);
        return takeOver(dataDir, folder, worker.errors);
    };
    return decl;
}

void registerExchangeWindows(WindowRegistry& registry) {
    registry.registerWindow("export", [](const WindowContext& context) {
        return open(context, exportSpec(context.dataDir));
    });
    registry.registerWindow("import", [](const WindowContext& context) {
        return open(context, importSpec(context.dataDir));
    });
    registry.registerWindow("takeover", [](const WindowContext& context) {
        return open(context, takeoverSpec(context.dataDir));
    });
}

} // namespace mvz
