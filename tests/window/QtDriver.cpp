// The window on Qt's offscreen platform: built in this process to be read, and run in
// a child process whose end is a real end.
#include <QtTest>
#include <QtWidgets>
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "../FakeWindow.h"
#include "MainWindowQt.h"
#include "ProcessServicesPosix.h"
#include "WindowTest.h"

namespace {

std::string Utf8(const QString& text) { return text.toUtf8().toStdString(); }

// A button's or label's text, or a frame's title.
std::string CaptionOf(QWidget* w) { return Utf8(w->property(qobject_cast<QGroupBox*>(w) ? "title" : "text").toString()); }

// The child's side of a run. It writes the run's report, less its exit status, in the
// folder's file "report", and never returns.
[[noreturn]] void RunChild(const Scenario& scenario, const TempFolder& folder) {
  DropPowerOverPermissions();
  mkdir((folder / "run").c_str(), 0700);  // a runtime folder of this run's own
  setenv("XDG_RUNTIME_DIR", (folder / "run").c_str(), 1);
  std::vector<std::string> names = {"varnel"};
  if (scenario.allPoints) names.push_back("--sdr");
  for (const std::string& name : scenario.arguments) names.push_back(folder / name);
  std::vector<char*> argv;
  for (std::string& name : names) argv.push_back(name.data());
  ProcessServicesPosix process;
  process.TakeArguments(static_cast<int>(argv.size()), argv.data());
  MainWindowQt window(process);
  std::ofstream report(FsPath(folder / "report"));
  int said = 0;
  const auto say = [&](const std::string& line) { report << line << std::endl, ++said; };
  const auto status = [&] { return CaptionOf(window.control(Control::lblInfo)); };
  const auto click = [&](Control control) { static_cast<QAbstractButton*>(window.control(control))->click(); };
  QTimer watcher;  // the user's eyes and hands while the program runs
  QObject::connect(&watcher, &QTimer::timeout, [&] {
    if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
      const bool locked = std::ranges::none_of(kLockedByRun, [&](Control c) { return window.control(c)->isEnabled(); });
      if (said == 1) say(AtFirstMessage(status(), locked));  // the first message after the count
      say("message: " + Utf8(box->windowTitle()) + ": " + Utf8(box->text()));
      box->button(QMessageBox::Ok)->click();
    }
    if (scenario.action == UserAction::CloseDuringRun && ReadBytes(folder / scenario.after[0].first).size() > 10000) {
      window.close();
    }
  });
  watcher.start(1);
  QTimer::singleShot(0, [&] {
    window.form().Form_Load();
    say("count: " + Utf8(window.windowTitle()) + ": " + status());
    if (scenario.option != Control::Opt1) click(scenario.option);
    if (scenario.keepXY) click(Control::chChangeXY);
    if (scenario.action == UserAction::CloseBeforeRun) window.close();
    click(Control::cmdOk);
  });
  QApplication::exec();
  _exit(121);  // the program leaves its event loop only by ending
}

}  // namespace

Report RunProgram(const Scenario& scenario, const TempFolder& folder) {
  const pid_t child = fork();
  if (child == 0) RunChild(scenario, folder);
  int status = 0;
  waitpid(child, &status, 0);
  Report report;
  std::istringstream lines(ReadBytes(folder / "report"));
  for (std::string line; std::getline(lines, line);) report.push_back(line);
  report.push_back("exit status " + std::to_string(WIFEXITED(status) ? WEXITSTATUS(status) : -WTERMSIG(status)));
  return report;
}

std::vector<std::string> LookAtNewWindow() {
  FakeProcess process;
  MainWindowQt window(process);
  std::vector<std::string> seen = {WindowLine(Utf8(window.windowTitle()), window.width(), window.height(),
                                              qRound(QGuiApplication::primaryScreen()->logicalDotsPerInch()))};
  for (const ControlSpec& entry : kControls) {
    QWidget* widget = window.control(entry.control);
    if (!widget) continue;  // the timer, which has none
    const QPoint corner = widget->mapTo(&window, QPoint(0, 0));
    const auto* button = qobject_cast<QAbstractButton*>(widget);
    const QPalette& palette = widget->palette();
    seen.push_back(ControlLine(entry.name, CaptionOf(widget), corner.x(), corner.y(), widget->width(), widget->height(),
                               Utf8(widget->font().families().value(0)), widget->font().pointSize(), widget->font().bold(),
                               palette.color(widget->backgroundRole()).rgb() & 0xFFFFFFu,
                               palette.color(widget->foregroundRole()).rgb() & 0xFFFFFFu, widget->isEnabled(),
                               button && button->isChecked()));
  }
  EXPECT_EQ(window.timer()->interval(), 10);  // milliseconds between ticks
  window.show();
  std::string tab = "TAB: chChangeXY";
  window.control(Control::chChangeXY)->setFocus();
  for (int presses = QTest::qWaitForWindowActive(&window) ? 0 : 6; presses < 6; ++presses) {
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    if (QApplication::focusWidget() == window.control(Control::chChangeXY)) break;
    tab += " " + QApplication::focusWidget()->objectName().toStdString();
  }
  seen.push_back(tab);
  return seen;
}

// A lock held by a running instance ends the next one; a lock folder that another user
// could hold is not trusted, and Varnel then runs rather than end at every start.
TEST(QtProcessTest, ALockHeldByARunningInstanceMakesTheNextOneEnd) {
  const std::string own = "varnel-" + std::to_string(getuid());
  const std::pair<std::function<bool(const TempFolder&)>, bool> cases[] = {  // false: cannot be made here
      {[](const TempFolder& f) { return setenv("XDG_RUNTIME_DIR", (f / "run").c_str(), 1) == 0; }, true},
      {[](const TempFolder&) { return true; }, true},  // the user's own temporary folder
      // A temporary folder of another user's (only root can give a folder away), and a link.
      {[&](const TempFolder& f) { return mkdir((f / own).c_str(), 0700) == 0 && chown((f / own).c_str(), 65534, 65534) == 0; },
       false},
      {[&](const TempFolder& f) { return symlink((f / "run").c_str(), (f / own).c_str()) == 0; }, false},
  };
  for (const auto& [prepare, secondEnds] : cases) {
    unsetenv("TMPDIR");
    TempFolder folder;
    mkdir((folder / "run").c_str(), 0700);
    unsetenv("XDG_RUNTIME_DIR");
    setenv("TMPDIR", (folder / "").c_str(), 1);
    if (!prepare(folder)) continue;
    ProcessServicesPosix first;
    EXPECT_FALSE(first.PreviousInstanceRunning()) << secondEnds;
    EXPECT_EQ(ProcessServicesPosix().PreviousInstanceRunning(), secondEnds);
  }
  unsetenv("TMPDIR");
}

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
