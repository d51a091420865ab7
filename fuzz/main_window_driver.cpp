#include <memory>
#include <string>
#include <vector>

#include "fuzz/fuzz_run.h"
#include "fuzz/step_checks.h"
#include "platform/registry_paths.h"
#include "platform/sim/sim_dialog_host.h"
#include "removal/backup_place.h"
#include "res/resource.h"
#include "ui/app_state.h"
#include "ui/package_mark.h"
#include "ui/uninstall_dlg.h"

namespace drvsweep::fuzz {

namespace {

constexpr int kMaxActions = 12;

class MainWindowRun {
public:
    MainWindowRun(FuzzInput& input, FuzzMachine& machine)
        : input_(input),
          machine_(machine),
          state_(SharedState()),
          dialog_(*state_, machine.windows.platform(), window_) {
        window_.SetMessageBoxHook([this](const sim::SimMessageBox&) { WhileBoxIsOpen(); });
    }

    void Run() {
        checkpoint_ = TakeCheckpoint(machine_);
        dialog_.OnInitDialog(window_);
        checkpoint_ = CheckScan(machine_, checkpoint_, state_->table);
        // What each scanner owns is settled on the machine as the scan saw it (see
        // DriveBuiltInRemoval).
        for (std::int32_t i = 0; i <= state_->table.lastIndex; ++i) {
            scanned_.push_back(state_->table.rows[i].devicePath.c_str());
            scannedItems_.push_back(ItemsOf(machine_, state_->table.rows[i]));
        }
        CheckListAgrees("the window's start");
        for (int action = 0; action < kMaxActions && !window_.ended(); ++action) {
            Act();
        }
    }

private:
    // One state for every run, as the program has one (see DriveBuiltInRemoval); the window's
    // start fills the strings and the table, and no command has been given yet.
    static AppState* SharedState() {
        static const auto state = std::make_unique<AppState>();
        state->selectedIndex = kNoCommandYet;
        return state.get();
    }

    void Act() {
        switch (input_.Below(7)) {
            case 0:
                window_.ListSetSelection(
                    IDC_SCANNER_LIST, static_cast<int>(input_.Below(
                                          static_cast<std::size_t>(state_->table.lastIndex) + 3)) -
                                          1);
                break;
            case 1:
                Command(IDC_DELETE, kButtonClicked);
                break;
            case 2:
                Command(IDC_SCANNER_LIST, kListDoubleClick);
                break;
            case 3:
                Tick("a timer tick");
                break;
            case 4:
                FinishUninstaller();
                break;
            case 5:
                Step("Exit", [this] { dialog_.OnCommand(kIdOk, kButtonClicked); });
                break;
            default:
                Command(IDC_DELETE, kButtonClicked);
                break;
        }
    }

    // The uninstall command: what it may delete is the selected scanner's own.
    void Command(int itemId, int notification) {
        static const int kAnswers[] = {kIdYes, kIdNo, 0, kIdYes};
        window_.QueueMessageBoxAnswer(input_.Choose(kAnswers));
        window_.QueueMessageBoxAnswer(input_.Choose(kAnswers));
        const int selection = window_.ListSelection(IDC_SCANNER_LIST);
        commandRow_ = ScannerRecord{};
        hasRow_ = selection >= 0 && selection <= state_->table.lastIndex;
        if (hasRow_) {
            commandRow_ = state_->table.rows[selection];
        }
        allowed_ = ScannerItems{};
        for (std::size_t i = 0; hasRow_ && i < scanned_.size(); ++i) {
            if (scanned_[i] == commandRow_.devicePath.c_str()) {
                allowed_ = scannedItems_[i];
            }
        }
        // The window's backups go to the default folder, made with the DrvSweep folder above.
        allowed_.writableTrees.push_back(
            UpperAscii(DefaultBackupRoot(machine_.windows.platform())
                           .substr(0, DefaultBackupRoot(machine_.windows.platform()).rfind('\\'))));
        const std::size_t launches = machine_.windows.programs().launches().size();
        // The window keeps the outcome of its last removal; cleared, it shows whether this
        // command ran one.
        state_->lastRemoval = ScannerRemovalResult{};
        const int strikes = checkpoint_.strikes;
        dialog_.OnCommand(itemId, notification);
        checkpoint_ = CheckStep(machine_, checkpoint_, &allowed_, "the uninstall command", Row());
        const std::string account =
            AccountOfOutcome(machine_, state_->lastRemoval.outcome, allowed_, commandRow_,
                             checkpoint_.strikes != strikes);
        if (!account.empty()) {
            ReportBreach("the uninstall command", account, Row());
        }
        CheckListAgrees("the uninstall command");
        if (hasRow_ && machine_.windows.programs().launches().size() > launches) {
            watched_ = commandRow_.devicePath.c_str();
        }
    }

    // A box is open: what the command did so far is checked, then a tick may come or the
    // running uninstaller may finish.
    void WhileBoxIsOpen() {
        checkpoint_ = CheckStep(machine_, checkpoint_, &allowed_,
                                "the uninstall command, up to a box", Row());
        CheckListAgrees("the uninstall command, up to a box");
        switch (input_.Below(3)) {
            case 1:
                Tick("a timer tick while a box is open");
                break;
            case 2:
                FinishUninstaller();
                break;
            default:
                break;
        }
    }

    void Tick(const char* step) {
        Step(step, [this] { dialog_.OnTimer(kPollTimer); });
    }

    // A step that may change nothing.
    template <typename Action>
    void Step(const char* step, Action action) {
        action();
        checkpoint_ = CheckStep(machine_, checkpoint_, nullptr, step, nullptr);
        CheckListAgrees(step);
    }

    // The registered uninstaller deletes its scanner's device key and ends. What it deletes is
    // its own doing, so the oracle's record starts again after it.
    void FinishUninstaller() {
        if (watched_.empty()) {
            return;
        }
        const Family family = FamilyOfVersion(machine_.windows.version().Version());
        machine_.windows.registry().RemoveTree(
            RegistryPathFor(RegistryPath::DevicePresencePrefix, family) + watched_);
        watched_.clear();
        checkpoint_ = TakeCheckpoint(machine_);
    }

    const ScannerRecord* Row() const { return hasRow_ ? &commandRow_ : nullptr; }

    // The list shows the table's rows, each as " " + description (and the mark of a driver
    // package without a device), and the table holds scanners
    // of the scan in their order.
    void CheckListAgrees(const std::string& step) {
        const std::vector<sim::RecordedText> entries = window_.listEntries(IDC_SCANNER_LIST);
        const ScannerTable& table = state_->table;
        std::string account;
        if (entries.size() != static_cast<std::size_t>(table.lastIndex + 1)) {
            account += "  the list has " + std::to_string(entries.size()) + " entries, the table " +
                       std::to_string(table.lastIndex + 1) + " rows\n";
        }
        std::size_t next = 0;
        for (std::int32_t i = 0; i <= table.lastIndex; ++i) {
            const ScannerRecord& row = table.rows[i];
            const std::string mark =
                row.packageOnly ? PackageOnlyMark(state_->strings.languageSlot).bytes : "";
            if (static_cast<std::size_t>(i) < entries.size() &&
                sim::JoinedBytes(entries[i]) != std::string(" ") + row.description.c_str() + mark) {
                account += "  entry " + std::to_string(i) + " does not show row " +
                           std::to_string(i) + "\n";
            }
            while (next < scanned_.size() && scanned_[next] != table.rows[i].devicePath.c_str()) {
                ++next;
            }
            if (next++ == scanned_.size()) {
                account += "  row " + std::to_string(i) + " is no scanner of the scan, or moved\n";
            }
        }
        if (!account.empty()) {
            ReportBreach(step, account, Row());
        }
    }

    FuzzInput& input_;
    FuzzMachine& machine_;
    AppState* state_;
    sim::SimDialogHost window_;
    CUninstallDlg dialog_;
    // The machine after the last step checked: the next step's changes are counted from here.
    Checkpoint checkpoint_;
    ScannerItems allowed_;
    ScannerRecord commandRow_;
    bool hasRow_ = false;
    std::string watched_;
    std::vector<std::string> scanned_;
    std::vector<ScannerItems> scannedItems_;
};

}  // namespace

void DriveMainWindow(FuzzInput& input, FuzzMachine& machine) {
    MainWindowRun run(input, machine);
    run.Run();
}

}  // namespace drvsweep::fuzz
