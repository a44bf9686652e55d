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

QWidget* open(const WindowContext& context, FolderRunSpec spec) {
    auto* window =
        new FolderRunWindow(std::make_unique<Tables>(context.dataDir, context.errors), spec);
    if (!window->start()) return nullptr; // it deletes itself
    return window;
}

} // namespace

FolderRunSpec exportSpec(const std::string& dataDir) {
    FolderRunSpec spec;
    spec.title = QStringLiteral("Export datoteka");
    spec.notes = {QStringLiteral(
        "Pomoću ove opcije exportiramo-kopiramo ključne datoteke u zaseban pretinac.")};
    spec.prompt = QStringLiteral("Odredite lokaciju");
    spec.width = 128;
    spec.preset = native(defaultExchangeFolder(dataDir));
    spec.runCaption = QStringLiteral("&Export");
    spec.run = [dataDir](const std::string& folder, Reporter& reporter) {
        return exportDatabase(dataDir, folder, reporter);
    };
    return spec;
}

FolderRunSpec importSpec(const std::string& dataDir) {
    FolderRunSpec spec;
    spec.title = QStringLiteral("Import podataka");
    spec.prompt = QStringLiteral("Ulazni pretinac");
    spec.width = 255;
    spec.preset = native(defaultExchangeFolder(dataDir));
    spec.warning = {QStringLiteral("VAŽNA NAPOMENA:"),
                    QStringLiteral("Postojeći podaci biti će zamijenjeni podacima iz ulaznog "
                                   "pretinca!")};
    spec.runCaption = QStringLiteral("&Preuzmi");
    spec.alone = true;
    spec.before = [](FolderRunWindow& window, const std::string& folder) {
        return askBeforeReplacing(window, folder, true);
    };
    spec.run = [dataDir](const std::string& folder, Reporter& reporter) {
        WorkerErrors worker(reporter);
        return importDatabase(dataDir, folder, worker.errors);
    };
    return spec;
}

FolderRunSpec takeoverSpec(const std::string& dataDir) {
    FolderRunSpec spec;
    spec.title = QStringLiteral("Preuzimanje podataka iz M-Vz 2005");
    spec.noteTitle = QStringLiteral("Napomena");
    spec.notes = {QStringLiteral("Pomoću ove opcije preuzimamo podatke iz aplikacije M-Vz 2005")};
    spec.prompt = QStringLiteral("Gdje se nalaze podaci iz M-Vz 2005 aplikacije");
    spec.width = 120;
    spec.preset = native(defaultTakeoverFolder());
    spec.runCaption = QStringLiteral("Preuzmi podatke");
    spec.cancelCaption = QStringLiteral("Odustani");
    spec.resultLine = true;
    spec.alone = true;
    spec.before = [](FolderRunWindow& window, const std::string& folder) {
        return askBeforeReplacing(window, folder, false);
    };
    spec.run = [dataDir](const std::string& folder, Reporter& reporter) {
        WorkerErrors worker(reporter);
        return takeOver(dataDir, folder, worker.errors);
    };
    return spec;
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
