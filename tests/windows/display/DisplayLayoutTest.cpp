// The panel's controls, their arrangement and the indicators' creation.
#include "DisplayFixture.h"

#include "indicators/Instdisplay.h"
#include "windows/Graph.h"
#include "windows/ImageView.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>
#include <QTest>

namespace {

QRect InWindow(QWidget* w) {
  return QRect(w->mapTo(w->window(), QPoint(0, 0)), w->size());
}

void Settle(QWidget& window) {
  window.show();
  QCoreApplication::processEvents();
  if (window.layout()) window.layout()->activate();
  QCoreApplication::processEvents();
}

} // namespace

TEST_F(DisplayTest, ControlsCarryTheirNamesCaptionsAndHints) {
  TFDisplay& d = MakeDisplay();
  EXPECT_EQ(d.windowTitle(), QStringLiteral("Инструментальная панель"));
  EXPECT_EQ(d.palette().color(QPalette::Window), QColor(192, 192, 192));

  const struct { const char* name; const char* text; const char* hint; } buttons[] = {
      {"BAmpUp", "+1", ""},      {"BAmpDown", "-1", ""},    {"BAmpUp10", "+10", ""},
      {"BAmpDown10", "-10", ""}, {"BAmp1", "x1", ""},       {"BAmp5", "x5", ""},
      {"BAmp10", "x10", ""},     {"BAmp20", "x20", ""},     {"BAmp50", "x50", ""},
      {"BAmp100", "x100", ""},   {"BAmp500", "x500", ""},   {"BAmp1000", "x1000", ""},
      {"BGraph", "Г", "Панель графика"},
      {"BLevelSet", "Текщ", "Перевести уровень к текущему значению сигнала"},
      {"BLevelFixed", "Фикс", "Режим фиксированного уровня"},
      {"BLevelFind", "Слеж", "Режим слежения за уровнем сигнала"},
      {"BLevelAuto", "Автм", ""}};
  for (const auto& b : buttons) {
    auto* w = d.findChild<QAbstractButton*>(QString::fromLatin1(b.name));
    ASSERT_NE(w, nullptr) << b.name;
    EXPECT_EQ(w->text(), QString::fromUtf8(b.text)) << b.name;
    EXPECT_EQ(w->toolTip(), QString::fromUtf8(b.hint)) << b.name;
    EXPECT_TRUE(w->font().bold()) << b.name;
  }
  auto* label = d.findChild<QLabel*>(QStringLiteral("Label5"));
  ASSERT_NE(label, nullptr);
  EXPECT_EQ(label->text(), QStringLiteral("Коэффициент усиления прибора"));
  EXPECT_TRUE(label->font().bold());
  ASSERT_EQ(d.findChild<QLineEdit*>(QStringLiteral("EGaugeAmp")), d.EGaugeAmp);
  EXPECT_EQ(d.EGaugeAmp->text(), QStringLiteral("100"));
  EXPECT_EQ(d.EGaugeAmp->toolTip(), QStringLiteral("( 1 ... 1000 )"));
  EXPECT_FALSE(d.EGaugeAmp->font().bold());
  EXPECT_EQ(d.findChild<TImageView*>(QStringLiteral("IGauge")), d.IGauge);
  EXPECT_EQ(d.findChild<TImageView*>(QStringLiteral("ILevel")), d.ILevel);
  EXPECT_EQ(d.BLevelSet->palette().color(QPalette::ButtonText), QColor(0, 0, 255));
  // Tab order: the edit, then the graph button; the speed buttons take no focus.
  QWidget* next = d.EGaugeAmp->nextInFocusChain();
  while (next != d.EGaugeAmp && !(next->focusPolicy() & Qt::TabFocus)) next = next->nextInFocusChain();
  EXPECT_EQ(next, d.BGraph);
  EXPECT_EQ(d.BAmpUp->focusPolicy(), Qt::NoFocus);
}

TEST_F(DisplayTest, LevelModeButtonsAreARadioGroupStartingWithTracking) {
  TFDisplay& d = MakeDisplay();
  EXPECT_TRUE(d.LevelModeGroup->exclusive());
  EXPECT_EQ(d.LevelModeGroup->buttons().size(), 3);
  EXPECT_TRUE(d.BLevelFind->isChecked());
  EXPECT_FALSE(d.BLevelFixed->isChecked());
  EXPECT_FALSE(d.BLevelAuto->isEnabled());
  EXPECT_FALSE(d.BLevelSet->isCheckable());
  EXPECT_EQ(d.LevelModeGroup->checkedButton(), d.BLevelFind);
  d.BLevelFixed->click();
  EXPECT_TRUE(d.BLevelFixed->isChecked());
  EXPECT_FALSE(d.BLevelFind->isChecked());
}

TEST_F(DisplayTest, DesignArrangementAt801By417) {
  TFDisplay& d = MakeDisplay();
  Settle(d);
  ASSERT_EQ(d.size(), QSize(801, 417));
  EXPECT_EQ(InWindow(d.IGauge), QRect(8, 8, 561, 401));
  EXPECT_EQ(InWindow(d.ILevel), QRect(576, 160, 217, 217));
  EXPECT_EQ(InWindow(d.Label5).topLeft(), QPoint(576, 8));
  EXPECT_EQ(InWindow(d.EGaugeAmp), QRect(576, 32, 57, 21));
  EXPECT_EQ(InWindow(d.BAmpUp), QRect(648, 32, 33, 17));
  EXPECT_EQ(InWindow(d.BAmpDown), QRect(648, 52, 33, 17));
  EXPECT_EQ(InWindow(d.BAmpUp10), QRect(696, 32, 33, 17));
  EXPECT_EQ(InWindow(d.BAmpDown10), QRect(696, 52, 33, 17));
  EXPECT_EQ(InWindow(d.BAmp1), QRect(576, 76, 25, 17));
  EXPECT_EQ(InWindow(d.BAmp5), QRect(606, 76, 25, 17));
  EXPECT_EQ(InWindow(d.BAmp10), QRect(636, 76, 33, 17));
  EXPECT_EQ(InWindow(d.BAmp20), QRect(674, 76, 33, 17));
  EXPECT_EQ(InWindow(d.BAmp50), QRect(712, 76, 33, 17));
  EXPECT_EQ(InWindow(d.BAmp100), QRect(750, 76, 41, 17));
  EXPECT_EQ(InWindow(d.BAmp500), QRect(576, 96, 33, 17));
  EXPECT_EQ(InWindow(d.BAmp1000), QRect(614, 96, 41, 17));
  EXPECT_EQ(InWindow(d.BGraph), QRect(768, 120, 25, 25));
  EXPECT_EQ(InWindow(d.BLevelSet), QRect(576, 384, 49, 25));
  EXPECT_EQ(InWindow(d.BLevelFixed), QRect(632, 384, 49, 25));
  EXPECT_EQ(InWindow(d.BLevelFind), QRect(688, 384, 49, 25));
  EXPECT_EQ(InWindow(d.BLevelAuto), QRect(744, 384, 49, 25));
}

TEST_F(DisplayTest, GaugeStretchesWhileTheDialStaysBottomRight) {
  TFDisplay& d = MakeDisplay();
  Settle(d);
  d.resize(1001, 517);
  Settle(d);
  EXPECT_EQ(InWindow(d.IGauge), QRect(8, 8, 761, 501));
  EXPECT_EQ(InWindow(d.ILevel), QRect(776, 260, 217, 217));
  EXPECT_EQ(InWindow(d.BLevelAuto), QRect(944, 484, 49, 25));
  EXPECT_EQ(InWindow(d.EGaugeAmp), QRect(776, 32, 57, 21));
  EXPECT_EQ(InWindow(d.BGraph), QRect(968, 120, 25, 25));
}

TEST_F(DisplayTest, IndicatorsWaitForTheChainAndAreMadeOnce) {
  TFDisplay& d = MakeDisplay();
  d.FormActivate();
  d.DrawIndicators();
  EXPECT_FALSE(d.IndicatorsCreated());
  EXPECT_TRUE(d.IGauge->Image().isNull());

  AttachChain();
  d.FormActivate();
  ASSERT_TRUE(d.IndicatorsCreated());
  TInstIndGaugeV1* gauge = d.Gauge();
  TLevelCtrlV1* dial = d.LevelControl();
  EXPECT_EQ(d.IGauge->Image().deviceIndependentSize().toSize(), d.IGauge->size());
  EXPECT_EQ(d.ILevel->Image().deviceIndependentSize().toSize(), QSize(217, 217));
  EXPECT_EQ(dial->Caption(), QString());

  d.FormActivate();
  Settle(d);
  d.hide();
  d.show();
  EXPECT_EQ(d.Gauge(), gauge);
  EXPECT_EQ(d.LevelControl(), dial);
}

TEST_F(DisplayTest, ShowingTheWindowMakesTheIndicators) {
  AttachChain();
  TFDisplay& d = MakeDisplay();
  EXPECT_FALSE(d.IndicatorsCreated());
  Settle(d);
  EXPECT_TRUE(d.IndicatorsCreated());
}

TEST_F(DisplayTest, PollRedrawsBothIndicatorsAndResizeRedrawsTheGauge) {
  AttachChain();
  TFDisplay& d = MakeDisplay();
  Settle(d);
  ASSERT_TRUE(d.IndicatorsCreated());
  const qint64 gaugeBefore = d.IGauge->Image().cacheKey();
  const qint64 dialBefore = d.ILevel->Image().cacheKey();
  Chain.Probe.Level = 0.7;
  d.DrawIndicators();
  EXPECT_NE(d.IGauge->Image().cacheKey(), gaugeBefore);
  EXPECT_NE(d.ILevel->Image().cacheKey(), dialBefore);
  EXPECT_EQ(d.LevelControl()->LevelText(), QLocale().toString(0.7, 'f', 2));

  d.resize(1001, 517);
  Settle(d);
  EXPECT_EQ(d.IGauge->Image().deviceIndependentSize().toSize(), QSize(761, 501));
  EXPECT_EQ(d.ILevel->Image().deviceIndependentSize().toSize(), QSize(217, 217));
}

TEST_F(DisplayTest, MouseOnTheDialSetsTheLevel) {
  AttachChain();
  TFDisplay& d = MakeDisplay();
  Settle(d);
  ASSERT_TRUE(d.IndicatorsCreated());
  QTest::mousePress(d.ILevel, Qt::LeftButton, {}, QPoint(108, 58));
  EXPECT_NEAR(Chain.Probe.Level, 0.5, 1e-12);
  EXPECT_TRUE(d.LevelControl()->Dragging());
  QTest::mouseRelease(d.ILevel, Qt::LeftButton, {}, QPoint(158, 108));
  EXPECT_NEAR(Chain.Probe.Level, 5.0 / 6.0, 1e-12);
  EXPECT_FALSE(d.LevelControl()->Dragging());
  QTest::mouseMove(d.ILevel, QPoint(108, 58));
  EXPECT_NEAR(Chain.Probe.Level, 5.0 / 6.0, 1e-12);
}

TEST_F(DisplayTest, GraphButtonShowsTheGraphWindow) {
  TFDisplay& d = MakeDisplay();
  TFGraph graph;
  FGraph = &graph;
  d.BGraph->click();
  EXPECT_TRUE(graph.isVisible());
  FGraph = nullptr;
}
