// The Qt window on the offscreen platform: its initial state, the Run button, and
// whole runs through the real timer in a child process, whose end is the real end
// of a process.
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QTimer>
#include <QtTest>

#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <functional>
#include <optional>
#include <random>
#include <thread>

#include <signal.h>

#include "../FakeWindow.h"
#include "../SdrLines.h"
#include "../TempFolder.h"
#include "MainWindowQt.h"
#include "ProcessServicesPosix.h"
#include "ui/Messages.h"

namespace {

const std::string kRecord = ExampleSdrLine();

QString fromUtf8(std::string_view text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }

// Process services whose end is a real one, for runs in a child process.
class ChildProcess final : public ProcessServices {
 public:
  explicit ChildProcess(std::string arguments) : arguments_(std::move(arguments)) {}
  CommandLine Arguments() override { return {arguments_, std::nullopt}; }
  bool PreviousInstanceRunning() override { return false; }
  float SecondsSinceMidnight() override { return 1234.5f; }
  [[noreturn]] void EndProcess(ExitStatus status) override { std::_Exit(static_cast<int>(status)); }

 private:
  std::string arguments_;
};

struct ChildRun {
  int exitStatus = -1;
  QStringList messages;
};

// Starts the program in a child process on arguments; act(window) runs once the
// window is up. Every message box is answered with OK, its text recorded. With
// killAfter, the child is killed hard that long after it started.
ChildRun RunInChild(const std::string& arguments, const std::function<void(MainWindowQt&)>& act,
                    std::optional<std::chrono::microseconds> killAfter = std::nullopt) {
  int pipeEnds[2];
  if (pipe(pipeEnds) != 0) return {};
  const pid_t child = fork();
  if (child == 0) {
    close(pipeEnds[0]);
    ChildProcess process(arguments);
    MainWindowQt window(process);
    QTimer answerer;
    QObject::connect(&answerer, &QTimer::timeout, [&] {
      if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
        const QByteArray line = (box->windowTitle() + "|" + box->text() + "\n").toUtf8();
        if (write(pipeEnds[1], line.constData(), static_cast<size_t>(line.size())) < 0) std::_Exit(120);
        box->button(QMessageBox::Ok)->click();
      }
    });
    answerer.start(5);
    QTimer::singleShot(0, [&] {
      window.form().Form_Load();
      act(window);
    });
    QApplication::exec();
    std::_Exit(121);  // the program never leaves its event loop but by ending
  }
  close(pipeEnds[1]);
  if (killAfter) {
    std::this_thread::sleep_for(*killAfter);
    kill(child, SIGKILL);
  }
  ChildRun run;
  QByteArray output;
  char buffer[4096];
  for (ssize_t count; (count = read(pipeEnds[0], buffer, sizeof buffer)) > 0;) output.append(buffer, count);
  close(pipeEnds[0]);
  int status = 0;
  waitpid(child, &status, 0);
  run.exitStatus = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  for (const QByteArray& line : output.split('\n')) {
    if (!line.isEmpty()) run.messages << QString::fromUtf8(line);
  }
  return run;
}

QString Message(const char* text) { return QStringLiteral("Varnel|") + QString::fromUtf8(text); }

void ClickRun(MainWindowQt& window) {
  QTest::mouseClick(window.control(Control::cmdOk), Qt::LeftButton);
}

}  // namespace

class QtWindowTest : public QObject {
  Q_OBJECT

 private slots:
  void startsWithEveryControlInItsInitialState() {
    FakeProcess process;
    MainWindowQt window(process);
    const int dpi = qRound(QGuiApplication::primaryScreen()->logicalDotsPerInch());
    QCOMPARE(window.windowTitle(), QStringLiteral("Varnel"));
    QCOMPARE(window.size(), QSize(TwipsToPixels(3600, dpi), TwipsToPixels(2835, dpi)));
    QCOMPARE(window.palette().color(QPalette::Window), QColor(192, 192, 192));
    QCOMPARE(window.palette().color(QPalette::WindowText), QColor(0, 0, 0));
    QVERIFY(!window.timer()->isActive());
    QCOMPARE(window.timer()->interval(), 10);

    for (const ControlSpec& entry : kControls) {
      if (entry.kind == ControlKind::Timer) continue;
      QWidget* control = window.control(entry.control);
      const QByteArray name(entry.name.data(), static_cast<qsizetype>(entry.name.size()));
      QVERIFY2(control, name);
      QCOMPARE(control->objectName().toLatin1(), name);
      QCOMPARE(control->parentWidget(), entry.insideFrame ? window.control(Control::fr1) : &window);
      QCOMPARE(control->geometry(), QRect(TwipsToPixels(entry.left, dpi), TwipsToPixels(entry.top, dpi),
                                          TwipsToPixels(entry.width, dpi), TwipsToPixels(entry.height, dpi)));
      QVERIFY2(control->isEnabled(), name);
      QCOMPARE(control->font().families().value(0), QStringLiteral("Calibri"));
      QCOMPARE(control->font().pointSize(), 9);
      QCOMPARE(control->font().bold(), entry.bold);
      QCOMPARE(control->palette().color(QPalette::Window), QColor(192, 192, 192));
      if (auto* button = qobject_cast<QAbstractButton*>(control)) {
        QCOMPARE(button->text(), fromUtf8(entry.caption));
        if (button->isCheckable()) QCOMPARE(button->isChecked(), entry.checked);
      } else if (auto* label = qobject_cast<QLabel*>(control)) {
        QCOMPARE(label->text(), fromUtf8(entry.caption));
      } else {
        QCOMPARE(qobject_cast<QGroupBox*>(control)->title(), fromUtf8(entry.caption));
      }
    }
    QVERIFY(qobject_cast<QLabel*>(window.control(Control::Label1))->wordWrap());
    QCOMPARE(window.control(Control::fr1)->focusPolicy(), Qt::NoFocus);

    // TAB runs through the check box, the selected option and the Run button.
    window.show();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    window.control(Control::chChangeXY)->setFocus();
    qWarning() << "start" << QApplication::focusWidget();
    for (QWidget* w = window.control(Control::chChangeXY)->nextInFocusChain(), *n = nullptr; w != window.control(Control::chChangeXY) && !n; w = w->nextInFocusChain()) qWarning() << w;
    for (Control next : {Control::Opt1, Control::cmdOk, Control::chChangeXY}) {
      QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
      QCOMPARE(QApplication::focusWidget(), window.control(next));
    }
  }

  void runDisablesTheSixControlsAndStartsTheTimer() {
    FakeProcess process;
    MainWindowQt window(process);
    QStringList disabled;
    struct Recorder : QObject {
      QStringList* order;
      bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::EnabledChange && !static_cast<QWidget*>(watched)->isEnabled()) {
          *order << watched->objectName();
        }
        return false;
      }
    } recorder;
    recorder.order = &disabled;
    for (Control control : {Control::cmdOk, Control::chChangeXY, Control::fr1}) {
      window.control(control)->installEventFilter(&recorder);
    }
    ClickRun(window);
    // No file was listed: the first tick would end this test's process.
    window.timer()->stop();
    QCOMPARE(disabled, (QStringList{"cmdOk", "chChangeXY", "fr1"}));
    for (Control control : {Control::cmdOk, Control::chChangeXY, Control::fr1, Control::Opt1, Control::Opt2,
                            Control::Opt3}) {
      QVERIFY(!window.control(control)->isEnabled());
      QVERIFY(window.control(control)->testAttribute(Qt::WA_ForceDisabled));
    }
    QVERIFY(qobject_cast<QRadioButton*>(window.control(Control::Opt1))->isChecked());
    QVERIFY(qobject_cast<QCheckBox*>(window.control(Control::chChangeXY))->isChecked());
  }

  void convertsThroughTheRealTimerAndAnswersItsMessages() {
    TempFolder folder;
    WriteBytes(folder / "a.sdr", "header\r\n" + kRecord + "\n" + kRecord);
    WriteBytes(folder / "c d.SDR", kRecord + "\r\n");
    const ChildRun run = RunInChild(folder / "a.sdr" + " " + folder / "missing.sdr" + " \"" + folder / "c d.SDR" + "\"",
                                    [](MainWindowQt& window) {
                                      QCOMPARE(qobject_cast<QLabel*>(window.control(Control::lblInfo))->text(),
                                               QStringLiteral("Выбрано файлов SDR: 3"));
                                      ClickRun(window);
                                    });
    QCOMPARE(run.exitStatus, static_cast<int>(ExitStatus::FinishedWithErrors));
    QCOMPARE(run.messages, QStringList{Message(msg::kReadFailure)});
    QCOMPARE(ReadBytes(folder / "a.csv"), std::string("A-7B;-89.01;1234.567;0.5\r\nA-7B;-89.01;1234.567;0.5\r\n"));
    QCOMPARE(ReadBytes(folder / "c d.csv"), std::string("A-7B;-89.01;1234.567;0.5\r\n"));
    QVERIFY(!Exists(folder / "missing.csv"));
  }

  void usesTheOptionsChosenBeforeRun() {
    TempFolder folder;
    WriteBytes(folder / "a.sdr", kRecord);
    const ChildRun run = RunInChild(folder / "a.sdr", [](MainWindowQt& window) {
      QTest::mouseClick(window.control(Control::Opt3), Qt::LeftButton);
      QTest::mouseClick(window.control(Control::chChangeXY), Qt::LeftButton);
      ClickRun(window);
    });
    QCOMPARE(run.exitStatus, static_cast<int>(ExitStatus::Done));
    QVERIFY(run.messages.isEmpty());
    QCOMPARE(ReadBytes(folder / "a.csv"), std::string("A-7B\t1234.567\t-89.01\t0.5\r\n"));
  }

  void noUsableFileShowsTheDropMessageAndEnds() {
    const ChildRun run = RunInChild("notes.txt", [](MainWindowQt&) {});
    QCOMPARE(run.exitStatus, static_cast<int>(ExitStatus::EndedByMessage));
    QCOMPARE(run.messages, QStringList{Message(msg::kDropFiles)});
  }

  void closingMidRunKeepsEveryLineWrittenWhole() {
    TempFolder folder;
    const LongJob job = MakeLongJob(100000);
    const std::string& expected = job.csv;
    WriteBytes(folder / "long.sdr", job.input);
    const std::string output = folder / "long.csv";
    const ChildRun run = RunInChild(folder / "long.sdr", [output](MainWindowQt& window) {
      ClickRun(window);
      auto* watcher = new QTimer(&window);
      QObject::connect(watcher, &QTimer::timeout, [&window, output] {
        if (Exists(output) && std::filesystem::file_size(FsPath(output)) > 10000) window.close();
      });
      watcher->start(1);
    });
    QCOMPARE(run.exitStatus, static_cast<int>(ExitStatus::ClosedByUser));
    const std::string written = ReadBytes(output);
    QVERIFY(written.size() > 10000);
    QVERIFY2(written.size() < expected.size(), "the run should have been cut short");
    QVERIFY(IsWholeLinesBeginning(written, expected));
  }

  void killedMidRunLeavesOnlyWholeLines() {
    TempFolder folder;
    const LongJob job = MakeLongJob(20000);
    const std::string& expected = job.csv;
    WriteBytes(folder / "long.sdr", job.input);
    const std::string output = folder / "long.csv";
    const auto started = std::chrono::steady_clock::now();
    const ChildRun whole = RunInChild(folder / "long.sdr", [](MainWindowQt& window) { ClickRun(window); });
    QCOMPARE(whole.exitStatus, 0);
    QVERIFY(ReadBytes(output) == expected);
    const auto runTime = std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() - started);

    std::mt19937 engine(std::random_device{}());
    int cutShort = 0;
    for (int attempt = 0; attempt < 5; ++attempt) {
      std::filesystem::remove(FsPath(output));
      const std::chrono::microseconds killAfter(
          std::uniform_int_distribution<long long>(runTime.count() / 5, runTime.count())(engine));
      const ChildRun killed = RunInChild(folder / "long.sdr", [](MainWindowQt& window) { ClickRun(window); }, killAfter);
      const std::string written = Exists(output) ? ReadBytes(output) : "";
      QVERIFY(IsWholeLinesBeginning(written, expected));
      cutShort += killed.exitStatus == -1 && !written.empty() && written.size() < expected.size();
    }
    QVERIFY2(cutShort > 0, "no kill landed during a run");
  }

  void secondInstanceEndsAtOnce() {
    TempFolder runtime;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("XDG_RUNTIME_DIR", QString::fromStdString(runtime.Path().string()));
    environment.insert("QT_QPA_PLATFORM", "offscreen");
    // With nothing to convert, the first instance waits in its message box.
    QProcess first;
    first.setProcessEnvironment(environment);
    first.start(VARNEL_PROGRAM, {});
    QVERIFY(first.waitForStarted());
    QTRY_VERIFY_WITH_TIMEOUT(Exists(runtime / "varnel.lock"), 10000);
    QTest::qWait(300);
    QProcess second;
    second.setProcessEnvironment(environment);
    second.start(VARNEL_PROGRAM, {QString::fromStdString(runtime / "a.sdr")});
    QVERIFY(second.waitForFinished(10000));
    QCOMPARE(second.exitCode(), static_cast<int>(ExitStatus::AnotherInstance));
    QCOMPARE(first.state(), QProcess::Running);
    first.kill();
    first.waitForFinished();
  }
};

QTEST_MAIN(QtWindowTest)
#include "QtWindowTest.moc"
