#include "MainWindowQt.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QTimer>

#include <algorithm>
#include <vector>

namespace {

QString fromUtf8(std::string_view text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }

QFont uiFont(bool bold) {
  QFont font;
  // Carlito has Calibri's metrics, so the layout holds where Calibri is missing.
  font.setFamilies({fromUtf8(kWindow.fontFace), fromUtf8(kWindow.fallbackFontFace)});
  font.setPointSize(kWindow.fontPoints);
  font.setWeight(bold ? QFont::Bold : QFont::Normal);
  return font;
}

QColor rgb(std::uint32_t value) { return QColor::fromRgb(value); }

}  // namespace

MainWindowQt::MainWindowQt(ProcessServices& process, QWidget* parent)
    : QWidget(parent), form_(*this, process) {
  setWindowTitle(fromUtf8(form_.Title()));
  setWindowIcon(QIcon(QStringLiteral(":/varnel.png")));

  QPalette look = palette();
  for (QPalette::ColorRole role : {QPalette::Window, QPalette::Button, QPalette::Base}) {
    look.setColor(role, rgb(kWindow.background));
  }
  look.setColor(QPalette::WindowText, rgb(kWindow.text));
  look.setColor(QPalette::Text, rgb(kWindow.text));
  setPalette(look);
  setAutoFillBackground(true);

  const QScreen* screen = QGuiApplication::primaryScreen();
  const int dpi = screen ? qRound(screen->logicalDotsPerInch()) : 96;
  setFixedSize(TwipsToPixels(kWindow.clientWidth, dpi), TwipsToPixels(kWindow.clientHeight, dpi));
  createControls(dpi);
  setTabOrderFromTable();
}

void MainWindowQt::createControls(int dpi) {
  for (const ControlSpec& entry : kControls) {
    if (entry.kind == ControlKind::Timer) {
      tmrMain_ = new QTimer(this);
      tmrMain_->setObjectName(QString::fromLatin1(entry.name.data(), static_cast<qsizetype>(entry.name.size())));
      tmrMain_->setInterval(kWindow.timerIntervalMs);
      connect(tmrMain_, &QTimer::timeout, this, [this] { form_.tmrMain_Timer(); });
      continue;
    }
    QWidget* widget = createControl(entry);
    widget->setObjectName(QString::fromLatin1(entry.name.data(), static_cast<qsizetype>(entry.name.size())));
    widget->setFont(uiFont(entry.bold));
    // Geometry of a control inside the frame is relative to the frame, as is its parent.
    widget->setGeometry(TwipsToPixels(entry.left, dpi), TwipsToPixels(entry.top, dpi), TwipsToPixels(entry.width, dpi),
                        TwipsToPixels(entry.height, dpi));
    controls_[static_cast<std::size_t>(entry.control)] = widget;
  }
}

QWidget* MainWindowQt::createControl(const ControlSpec& entry) {
  const QString caption = fromUtf8(entry.caption);
  QWidget* container = entry.insideFrame ? control(Control::fr1) : this;
  switch (entry.kind) {
    case ControlKind::Frame: {
      auto* frame = new QGroupBox(caption, container);
      frame->setFocusPolicy(Qt::NoFocus);
      return frame;
    }
    case ControlKind::OptionButton: {
      auto* option = new QRadioButton(caption, container);
      option->setChecked(entry.checked);
      return option;
    }
    case ControlKind::PushButton: {
      auto* button = new QPushButton(caption, container);
      connect(button, &QPushButton::clicked, this, [this] { form_.cmdOk_Click(); });
      return button;
    }
    case ControlKind::CheckBox: {
      auto* check = new QCheckBox(caption, container);
      check->setChecked(entry.checked);
      return check;
    }
    case ControlKind::Label: {
      auto* label = new QLabel(caption, container);
      label->setWordWrap(true);
      label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
      label->setTextFormat(Qt::PlainText);
      return label;
    }
    case ControlKind::Timer:
      break;
  }
  return nullptr;
}

// Focus moves through the controls that take it, in the order of their tab indices.
void MainWindowQt::setTabOrderFromTable() {
  std::vector<const ControlSpec*> focusable;
  for (const ControlSpec& entry : kControls) {
    const bool takesFocus = entry.kind == ControlKind::OptionButton || entry.kind == ControlKind::PushButton ||
                            entry.kind == ControlKind::CheckBox;
    if (takesFocus) focusable.push_back(&entry);
  }
  std::sort(focusable.begin(), focusable.end(),
            [](const ControlSpec* a, const ControlSpec* b) { return a->tabIndex < b->tabIndex; });
  // Linked from the back: linked forwards, Qt 6.4 left Opt3 out of the chain.
  for (std::size_t i = focusable.size() - 1; i > 0; --i) {
    QWidget::setTabOrder(control(focusable[i - 1]->control), control(focusable[i]->control));
  }
}

bool MainWindowQt::isChecked(Control which) const {
  return static_cast<QAbstractButton*>(control(which))->isChecked();
}

void MainWindowQt::Show() { show(); }

void MainWindowQt::SetStatusText(const std::string& text) {
  static_cast<QLabel*>(control(Control::lblInfo))->setText(fromUtf8(text));
}

ConversionOptions MainWindowQt::ReadOptions() {
  return ConversionOptions{isChecked(Control::Opt1), isChecked(Control::Opt2), isChecked(Control::Opt3),
                           isChecked(Control::chChangeXY)};
}

void MainWindowQt::ShowMessage(std::string_view text) {
  QMessageBox box(QMessageBox::Information, fromUtf8(kWindow.title), fromUtf8(text), QMessageBox::Ok, this);
  box.exec();
}

void MainWindowQt::Disable(Control which) { control(which)->setEnabled(false); }

void MainWindowQt::EnableTimer() { tmrMain_->start(); }

void MainWindowQt::PumpEvents() { QCoreApplication::processEvents(); }

void MainWindowQt::Unload(ExitStatus status) { form_.Form_Unload(status); }

void MainWindowQt::closeEvent(QCloseEvent* event) {
  // Closing the window, by any means, ends the process at once, mid-file if need be.
  event->accept();
  Unload(ExitStatus::ClosedByUser);
}
