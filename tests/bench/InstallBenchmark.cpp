// install_bench: how long Pakwerk takes to install a large package, against
// a plain CopyFileA loop over the same files, and how quickly its install
// dialog answers while it does.
//
//   install_bench [RUNS [FILES [FOLDERS [MEGABYTES [PAKWERK_EXE [PROBE_MS]]]]]]
//
// Defaults: 5 runs of 3000 files (about 198 MB in 40 folders) with the
// Pakwerk.exe of this build ("" for it), probed every 50 ms (0: never). The package is the example
// package with the generated files listed first (tests/e2e/Scenario.h); each run installs into a
// fresh copy of the example host. Pakwerk is timed from the click on Install to its result box;
// meanwhile another thread sends the dialog WM_NULL (SendMessageTimeout) every PROBE_MS and times
// the answer, and invalidates it every half second and times the repaint. The loop creates the
// folders and copies each file with CopyFileA into an empty folder. The two alternate, after one
// untimed round of each; the medians, their ratio and the slowest answer and repaint are printed.
// Run it under Wine with an X display: tools/install-bench.sh.
#include "automation/ProgramWindows.h"
#include "automation/WindowAction.h"
#include "automation/WindowQuery.h"
#include "e2e/FileTree.h"
#include "e2e/Scenario.h"
#include "bench/BenchClock.h"

#include <windows.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <set>
#include <string>
#include <thread>
#include <vector>

using automation::ProgramWindow;

using benchclock::Median;
using benchclock::Seconds;

namespace {

struct PakwerkRun {
    double seconds = 0;
    double slowestAnswer = 0;
    double slowestRepaint = 0;
    int probes = 0;
    bool succeeded = false;
    double lastInvalidation = 0;
};

// The dialog is invalidated at most this often: a repaint costs the
// installing thread time on the server, and a person does not cause one
// every few milliseconds.
constexpr double kRepaintIntervalS = 0.5;

// Probes the dialog until `stop`: the time SendMessageTimeout takes, and
// the time from invalidating the dialog until it has painted itself (looked
// at after each answer, so that a late paint does not hold up the answers).
void Probe(HWND dialog, int intervalMs, const std::atomic<bool>& stop, PakwerkRun& run) {
    double invalidated = 0;
    if (intervalMs <= 0) return;
    while (!stop) {
        if (invalidated == 0 && Seconds() - run.lastInvalidation >= kRepaintIntervalS) {
            run.lastInvalidation = Seconds();
            InvalidateRect(dialog, nullptr, FALSE);
            invalidated = Seconds();
        }
        const double start = Seconds();
        DWORD_PTR result = 0;
        SendMessageTimeoutA(dialog, WM_NULL, 0, 0, SMTO_NORMAL, 60000, &result);
        const double now = Seconds();
        run.slowestAnswer = std::max(run.slowestAnswer, now - start);
        if (invalidated != 0 && !GetUpdateRect(dialog, nullptr, FALSE)) {
            run.slowestRepaint = std::max(run.slowestRepaint, now - invalidated);
            invalidated = 0;
        }
        ++run.probes;
        Sleep(static_cast<DWORD>(intervalMs));
    }
    if (invalidated != 0)
        run.slowestRepaint = std::max(run.slowestRepaint, Seconds() - invalidated);
}

bool ResetHost(const Scenario& scenario) {
    const std::string& host = scenario.HostFolder();
    return filetree::RemoveTree(host) &&
           filetree::CopyTree(Scenario::ExampleFolder() + "\\host", host) &&
           filetree::SetWriteTimes(host, filetree::YearStart(Scenario::kHostYear));
}

bool RunPakwerk(Scenario& scenario, int probeIntervalMs, PakwerkRun& run) {
    if (!ResetHost(scenario) || !scenario.Start()) return false;
    HWND dialog = scenario.WaitFor(ProgramWindow::Install);
    if (!dialog) return false;
    std::atomic<bool> stop{false};
    std::thread prober(Probe, dialog, probeIntervalMs, std::cref(stop), std::ref(run));
    const double start = Seconds();
    automation::PressButton(dialog, automation::control::kInstallButton);
    HWND box = nullptr;
    while (!(box = scenario.Find(ProgramWindow::Message))) Sleep(2);
    run.seconds = Seconds() - start;
    stop = true;
    prober.join();
    // The result box has the information icon only on success (106).
    run.succeeded = automation::MessageBoxHasIcon(box).value_or(false);
    automation::AnswerMessageBox(box, IDOK);
    return scenario.WaitForExit();
}

double RunCopyLoop(const Scenario& scenario, const std::vector<std::string>& names,
                   const std::string& target) {
    filetree::RemoveTree(target);
    const std::string from = scenario.PackageFolder() + "\\" + Scenario::kGeneratedSource + "\\";
    const std::string to = target + "\\" + Scenario::kGeneratedDestination + "\\";
    const double start = Seconds();
    CreateDirectoryA(target.c_str(), nullptr);
    CreateDirectoryA((target + "\\Resourcen").c_str(), nullptr);
    CreateDirectoryA(to.c_str(), nullptr);
    std::set<std::string> folders;
    for (const std::string& name : names) {
        const std::string folder = name.substr(0, name.rfind('\\'));
        if (folders.insert(folder).second) CreateDirectoryA((to + folder).c_str(), nullptr);
        if (!CopyFileA((from + name).c_str(), (to + name).c_str(), FALSE)) {
            std::fprintf(stderr, "CopyFileA failed on %s (error %lu)\n", name.c_str(),
                         GetLastError());
        }
    }
    return Seconds() - start;
}

}  // namespace

int main(int argc, char** argv) {
    const int runs = argc > 1 ? std::atoi(argv[1]) : 5;
    const int files = argc > 2 ? std::atoi(argv[2]) : 3000;
    const int folders = argc > 3 ? std::atoi(argv[3]) : 40;
    const size_t megabytes = argc > 4 ? std::strtoul(argv[4], nullptr, 10) : 198;
    if (runs < 1 || files < 1 || folders < 1 || megabytes < 1) {
        std::fputs(
            "usage: install_bench [RUNS [FILES [FOLDERS [MEGABYTES [PAKWERK_EXE [PROBE_MS]]]]]]\n",
            stderr);
        return 2;
    }

    Scenario scenario;
    std::vector<std::string> names;
    if (!scenario.Prepare(Scenario::Package::Single) ||
        !scenario.AddGeneratedFiles(files, folders, megabytes << 20, &names)) {
        std::fprintf(stderr, "cannot prepare: %s\n", scenario.Error().c_str());
        return 1;
    }
    const int probeIntervalMs = argc > 6 ? std::atoi(argv[6]) : 50;
    if (argc > 5 && *argv[5] &&
        !CopyFileA(argv[5], (scenario.PackageFolder() + "\\Pakwerk.exe").c_str(), FALSE)) {
        std::fprintf(stderr, "cannot copy %s\n", argv[5]);
        return 1;
    }
    const std::string copyTarget = scenario.PackageFolder() + "\\..\\copy";
    std::printf("%d files, %zu MB, %d folders; %d runs after one untimed round\n", files, megabytes,
                folders, runs);

    std::vector<double> pakwerk, loop, answers, repaints;
    for (int round = 0; round <= runs; ++round) {
        PakwerkRun run;
        double copy = 0;
        bool ok = true;
        // Alternate which goes first, so that neither always finds the
        // system's caches in the state the other left.
        if (round % 2 == 0) {
            ok = RunPakwerk(scenario, probeIntervalMs, run);
            copy = RunCopyLoop(scenario, names, copyTarget);
        } else {
            copy = RunCopyLoop(scenario, names, copyTarget);
            ok = RunPakwerk(scenario, probeIntervalMs, run);
        }
        if (!ok) {
            std::fprintf(stderr, "the Pakwerk run failed: %s\n", scenario.Screen().c_str());
            return 1;
        }
        std::printf(
            "%s %d: Pakwerk %.3f s (%s), CopyFileA loop %.3f s, ratio %.2f; slowest "
            "answer %.0f ms, repaint %.0f ms (%d probes)\n",
            round == 0 ? "warm-up" : "run", round, run.seconds,
            run.succeeded ? "success" : "FAILED", copy, run.seconds / copy,
            run.slowestAnswer * 1000, run.slowestRepaint * 1000, run.probes);
        std::fflush(stdout);
        if (round == 0) continue;
        pakwerk.push_back(run.seconds);
        loop.push_back(copy);
        answers.push_back(run.slowestAnswer);
        repaints.push_back(run.slowestRepaint);
    }
    filetree::RemoveTree(copyTarget);
    std::printf("median: Pakwerk %.3f s, CopyFileA loop %.3f s, ratio %.3f\n", Median(pakwerk),
                Median(loop), Median(pakwerk) / Median(loop));
    std::printf("slowest answer %.0f ms (median over runs %.0f ms), slowest repaint %.0f ms\n",
                *std::max_element(answers.begin(), answers.end()) * 1000, Median(answers) * 1000,
                *std::max_element(repaints.begin(), repaints.end()) * 1000);
    return 0;
}
