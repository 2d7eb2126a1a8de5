#include <QtTest>

#include "app/main_layout.h"

using quorvel::LayoutMainWindow;
using quorvel::MainLayoutRects;

namespace {

// The places the window is designed with.
MainLayoutRects DesignRects() {
  MainLayoutRects r;
  r.send_edit = QRect(2, 4, 502, 24);
  r.send_button = QRect(531, 4, 52, 24);
  r.ruler = QRect(2, 32, 2000, 12);
  r.log = QRect(1, 45, 583, 379);
  r.port_group = QRect(587, 2, 131, 174);
  r.option_group = QRect(587, 173, 131, 251);
  r.auto_group = QRect(2, 427, 718, 61);
  r.auto_shape = QRect(601, 23, 20, 20);
  r.auto_button = QRect(631, 17, 77, 32);
  return r;
}

}  // namespace

Q_DECLARE_METATYPE(MainLayoutRects)

class TestMainLayout : public QObject {
  Q_OBJECT

 private slots:
  void layout_data();
  void layout();
  void layoutIsStable();
};

void TestMainLayout::layout_data() {
  QTest::addColumn<QSize>("outer");
  QTest::addColumn<MainLayoutRects>("expected");

  MainLayoutRects design = DesignRects();
  design.send_edit.setWidth(507);
  design.send_button.moveLeft(519);
  design.port_group.moveLeft(586);
  design.option_group.moveLeft(586);
  design.ruler.setWidth(579);
  design.log.setSize(QSize(581, 379));
  design.auto_group.moveTop(420);
  design.auto_group.setWidth(715);
  design.auto_button.moveLeft(629);
  QTest::addRow("design size") << QSize(727, 536) << design;

  MainLayoutRects taller = design;
  taller.log.setHeight(479);
  taller.auto_group.moveTop(520);
  QTest::addRow("100 pixels taller: only the log and the lower group") << QSize(727, 636) << taller;

  MainLayoutRects wider = design;
  wider.send_edit.setWidth(607);
  wider.send_button.moveLeft(619);
  wider.port_group.moveLeft(686);
  wider.option_group.moveLeft(686);
  wider.ruler.setWidth(679);
  wider.log.setWidth(681);
  wider.auto_group.setWidth(815);
  QTest::addRow("100 pixels wider: the right-hand groups follow") << QSize(827, 536) << wider;

  // W below 220 and H below the lower group: nothing gets a negative size,
  // and the controls after the send line take its clamped width.
  MainLayoutRects tiny = DesignRects();
  tiny.send_edit.setWidth(0);
  tiny.send_button.moveLeft(12);
  tiny.port_group.moveLeft(79);
  tiny.option_group.moveLeft(79);
  tiny.ruler.setWidth(72);
  tiny.log.setSize(QSize(74, 0));
  tiny.auto_group.moveTop(41);
  tiny.auto_group.setWidth(188);
  tiny.auto_button.moveLeft(629);
  QTest::addRow("very small window: sizes stop at 0") << QSize(200, 100) << tiny;
}

void TestMainLayout::layout() {
  QFETCH(QSize, outer);
  QFETCH(MainLayoutRects, expected);
  const MainLayoutRects got = LayoutMainWindow(outer, DesignRects());
  QCOMPARE(got.send_edit, expected.send_edit);
  QCOMPARE(got.send_button, expected.send_button);
  QCOMPARE(got.port_group, expected.port_group);
  QCOMPARE(got.option_group, expected.option_group);
  QCOMPARE(got.ruler, expected.ruler);
  QCOMPARE(got.log, expected.log);
  QCOMPARE(got.auto_group, expected.auto_group);
  QCOMPARE(got.auto_shape, expected.auto_shape);
  QCOMPARE(got.auto_button, expected.auto_button);
}

void TestMainLayout::layoutIsStable() {
  // A resize runs the steps on the places the last one left; the same size
  // must give the same places again, or the controls would creep.
  const MainLayoutRects once = LayoutMainWindow(QSize(900, 700), DesignRects());
  QVERIFY(LayoutMainWindow(QSize(900, 700), once) == once);
}

QTEST_APPLESS_MAIN(TestMainLayout)
#include "tst_main_layout.moc"
