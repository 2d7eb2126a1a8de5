#include <QSignalSpy>
#include <QtTest>

#include "platform/click_label.h"
#include "platform/shape_indicator.h"

using quorvel::ClickLabel;
using quorvel::ShapeIndicator;

class TestIndicators : public QObject {
  Q_OBJECT

 private slots:
  void fillColourReadsBackAsSet_data();
  void fillColourReadsBackAsSet();
  void fillIsDrawnOnlyWhenSet();
  void shapeSignalsRightRelease_data();
  void shapeSignalsRightRelease();
  void labelSignalsLeftRelease_data();
  void labelSignalsLeftRelease();
};

void TestIndicators::fillColourReadsBackAsSet_data() {
  QTest::addColumn<uint>("colour");
  QTest::addRow("green") << 0x00FF00u;
  QTest::addRow("yellow") << 0x00FFFFu;
  QTest::addRow("black") << 0x000000u;
  QTest::addRow("no fill") << 0xFF000000u;
}

void TestIndicators::fillColourReadsBackAsSet() {
  QFETCH(uint, colour);
  ShapeIndicator shape;
  QCOMPARE(shape.FillColour(), 0xFF000000u);  // starts unfilled
  shape.SetFillColour(colour);
  QCOMPARE(shape.FillColour(), colour);
}

void TestIndicators::fillIsDrawnOnlyWhenSet() {
  ShapeIndicator shape;
  shape.resize(20, 20);
  shape.setAutoFillBackground(true);
  shape.setPalette(QPalette(Qt::white));
  const QPoint centre(10, 10);
  QCOMPARE(shape.grab().toImage().pixelColor(centre), QColor(Qt::white));
  shape.SetFillColour(0x0000FFu);  // 0x00BBGGRR: red
  QCOMPARE(shape.grab().toImage().pixelColor(centre), QColor(255, 0, 0));
  // The outline stays black at the edge of the circle.
  const QColor edge = shape.grab().toImage().pixelColor(10, 0);
  QVERIFY2(edge.red() < 128 && edge.green() < 128 && edge.blue() < 128, qPrintable(edge.name()));
}

void TestIndicators::shapeSignalsRightRelease_data() {
  QTest::addColumn<Qt::MouseButton>("button");
  QTest::addColumn<QPoint>("release_at");
  QTest::addColumn<int>("expected");
  QTest::addRow("right button over it") << Qt::RightButton << QPoint(10, 10) << 1;
  QTest::addRow("left button") << Qt::LeftButton << QPoint(10, 10) << 0;
  QTest::addRow("right button dragged off") << Qt::RightButton << QPoint(40, 10) << 0;
}

void TestIndicators::shapeSignalsRightRelease() {
  QFETCH(Qt::MouseButton, button);
  QFETCH(QPoint, release_at);
  QFETCH(int, expected);
  ShapeIndicator shape;
  shape.resize(20, 20);
  QSignalSpy released(&shape, &ShapeIndicator::rightButtonReleased);
  QTest::mousePress(&shape, button, {}, QPoint(10, 10));
  QTest::mouseRelease(&shape, button, {}, release_at);
  QCOMPARE(released.count(), expected);
}

void TestIndicators::labelSignalsLeftRelease_data() {
  QTest::addColumn<Qt::MouseButton>("button");
  QTest::addColumn<QPoint>("release_at");
  QTest::addColumn<int>("expected");
  QTest::addRow("left button over it") << Qt::LeftButton << QPoint(5, 5) << 1;
  QTest::addRow("right button") << Qt::RightButton << QPoint(5, 5) << 0;
  QTest::addRow("left button dragged off") << Qt::LeftButton << QPoint(5, 90) << 0;
}

void TestIndicators::labelSignalsLeftRelease() {
  QFETCH(Qt::MouseButton, button);
  QFETCH(QPoint, release_at);
  QFETCH(int, expected);
  ClickLabel label(QStringLiteral("↑"));
  label.resize(24, 43);
  QSignalSpy released(&label, &ClickLabel::leftButtonReleased);
  QTest::mousePress(&label, button, {}, QPoint(5, 5));
  QTest::mouseRelease(&label, button, {}, release_at);
  QCOMPARE(released.count(), expected);
}

QTEST_MAIN(TestIndicators)
#include "tst_indicators.moc"
