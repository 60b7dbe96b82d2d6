#include "app/qt/form_zelkor.h"

#include <QCloseEvent>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>

#include "app/error_handler.h"
#include "app/qt/gauge.h"

namespace zelkor {

namespace {

constexpr int kClientWidth = 462;
constexpr int kClientHeight = 222;
constexpr int kFontPixels = 11;
constexpr const char* kWindowCaption = "Программатор 27Cxxx";
// Not on Linux: the font falls back to the system's sans-serif face, which has Cyrillic.
constexpr const char* kFontFamily = "MS Sans Serif";

QFont WindowFont() {
  QFont font(kFontFamily);
  font.setStyleHint(QFont::SansSerif);
  font.setPixelSize(kFontPixels);
  return font;
}

template <typename Control>
Control* Place(Control* control, const char* name, QRect place) {
  control->setObjectName(name);
  control->setGeometry(place);
  return control;
}

QPushButton* MakeButton(QWidget* parent, const char* name, const char* caption, QRect place) {
  auto* button = Place(new QPushButton(QString::fromUtf8(caption), parent), name, place);
  // No button of the window is a default button: Enter presses only the focused one.
  button->setAutoDefault(false);
  button->setDefault(false);
  return button;
}

QRadioButton* MakeRadio(QWidget* parent, const char* name, const char* caption, QRect place,
                        bool checked) {
  auto* radio = Place(new QRadioButton(QString::fromUtf8(caption), parent), name, place);
  radio->setChecked(checked);
  return radio;
}

QLabel* MakeLine(QWidget* parent, const char* name, QRect place) {
  auto* label = Place(new QLabel(parent), name, place);
  // One line at a fixed size, cut off at the right edge; never markup, whatever the text.
  label->setFixedSize(place.size());
  label->setTextFormat(Qt::PlainText);
  label->setWordWrap(false);
  label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  return label;
}

}  // namespace

TFormZelkor::TFormZelkor(TimingServices& timing, const std::string& programPath)
    : QWidget(nullptr, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                           Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint),
      feedback_(QString::fromStdString(ApplicationTitle(programPath))) {
  setObjectName("FormZelkor");
  setWindowTitle(QString::fromUtf8(kWindowCaption));
  setFixedSize(kClientWidth, kClientHeight);
  setFont(WindowFont());
  BuildControls();
  SetTabOrder();
  feedback_.Attach({this, lbMsg, lbBuf, Progress});
  logic_ = std::make_unique<ZelkorLogic>(feedback_, timing, programPath);
  // Wired only after the design's checks are set, so that building raises no click.
  WireEvents();
  logic_->FormCreate();
}

TFormZelkor::~TFormZelkor() {
  // A run that ends without the window closing still leaves the board safe.
  RunFormClose();
}

void TFormZelkor::BuildControls() {
  Progress = Place(new Gauge(this), "Progress", {5, 160, 451, 20});
  lbMsg = MakeLine(this, "lbMsg", {5, 135, 451, 13});
  lbBuf = MakeLine(this, "lbBuf", {5, 110, 451, 13});
  ButtonClose = MakeButton(this, "ButtonClose", "Закрыть", {380, 190, 75, 25});
  bRead = MakeButton(this, "bRead", "Read", {245, 40, 75, 25});
  bWrite = MakeButton(this, "bWrite", "Write", {245, 70, 75, 25});
  bBlanc = MakeButton(this, "bBlanc", "Blank check", {245, 10, 75, 25});
  bFRead = MakeButton(this, "bFRead", "Считать из файла", {335, 10, 121, 25});
  bFSave = MakeButton(this, "bFSave", "Сохранить в файл", {335, 40, 121, 25});
  bDiag = MakeButton(this, "bDiag", "Диагностика", {5, 190, 86, 25});
  GroupBox1 = Place(new QGroupBox(QString::fromUtf8("Тип ПЗУ"), this), "GroupBox1", {5, 5, 96, 91});
  rb256 = MakeRadio(GroupBox1, "rb256", "27C256", {10, 25, 76, 17}, false);
  rb512 = MakeRadio(GroupBox1, "rb512", "27C512", {10, 50, 76, 17}, true);
  GroupBox2 = Place(new QGroupBox(QString::fromUtf8("Алгоритм записи"), this), "GroupBox2",
                    {110, 5, 126, 91});
  rbNormal = MakeRadio(GroupBox2, "rbNormal", "NORMAL", {10, 25, 101, 17}, false);
  rbFast = MakeRadio(GroupBox2, "rbFast", "ATMEL RAPID™", {10, 50, 111, 17}, true);
  bAbout = MakeButton(this, "bAbout", "О программе...", {336, 72, 119, 25});

  // The Write button has a font of its own: the window's face, always in black.
  bWrite->setFont(WindowFont());
  QPalette black = bWrite->palette();
  // Black only while enabled: a disabled Write button must grey out like the others.
  black.setColor(QPalette::Active, QPalette::ButtonText, Qt::black);
  black.setColor(QPalette::Inactive, QPalette::ButtonText, Qt::black);
  bWrite->setPalette(black);
}

void TFormZelkor::SetTabOrder() {
  QWidget* const order[] = {ButtonClose, bBlanc, bRead, bWrite,   bFRead, bFSave,
                            bDiag,       rb256,  rb512, rbNormal, rbFast, bAbout};
  for (std::size_t i = 1; i < std::size(order); ++i) QWidget::setTabOrder(order[i - 1], order[i]);
}

void TFormZelkor::Forward(QPushButton* button, void (ZelkorLogic::*handler)(Sender),
                          Sender sender) {
  connect(button, &QPushButton::clicked, this, [this, handler, sender] {
    RunGuarded(feedback_, [&] { (logic_.get()->*handler)(sender); });
  });
}

void TFormZelkor::WireEvents() {
  connect(ButtonClose, &QPushButton::clicked, this,
          [this] { RunGuarded(feedback_, [&] { logic_->ButtonCloseClick(); }); });
  connect(bAbout, &QPushButton::clicked, this,
          [this] { RunGuarded(feedback_, [&] { logic_->bAboutClick(); }); });
  Forward(bBlanc, &ZelkorLogic::bBlancClick, Sender::bBlanc);
  Forward(bRead, &ZelkorLogic::bReadClick, Sender::bRead);
  Forward(bFRead, &ZelkorLogic::bFReadClick, Sender::bFRead);
  Forward(bFSave, &ZelkorLogic::bFSaveClick, Sender::bFSave);

  // A chip-type button raises its click only when it becomes checked, never when it is
  // clicked while already checked.
  const auto chipType = [this](QRadioButton* radio, Sender sender) {
    connect(radio, &QRadioButton::toggled, this, [this, sender](bool checked) {
      if (checked) RunGuarded(feedback_, [&] { logic_->rb256512Click(sender); });
    });
  };
  chipType(rb256, Sender::rb256);
  chipType(rb512, Sender::rb512);

  logic_->SetNormalAlgorithm(rbNormal->isChecked());
  connect(rbNormal, &QRadioButton::toggled, this,
          [this](bool checked) { logic_->SetNormalAlgorithm(checked); });
}

void TFormZelkor::RunFormClose() {
  if (closed_) return;
  closed_ = true;
  RunGuarded(feedback_, [&] { logic_->FormClose(); });
}

void TFormZelkor::closeEvent(QCloseEvent* event) {
  // Closing is never refused, and however it comes, the board is made safe once.
  const bool first = !closed_;
  RunFormClose();
  event->accept();
  if (first) emit Closed();
}

void TFormZelkor::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  if (centred_) return;
  centred_ = true;
  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    QRect frame = frameGeometry();
    frame.moveCenter(screen->availableGeometry().center());
    move(frame.topLeft());
  }
}

}  // namespace zelkor
