#include <QAbstractItemView>
#include <QLineEdit>
#include <QSignalSpy>
#include <QtTest>

#include "platform/editable_combo_box.h"

using quorvel::EditableComboBox;

namespace {

// A window with the box (items "200", "300", "400", "200" shown) and another
// control to move the focus to.
struct Form {
  Form() {
    box = new EditableComboBox(&window);
    box->addItems({"200", "300", "400"});
    box->setGeometry(10, 10, 60, 20);
    other = new QLineEdit(&window);
    other->setGeometry(10, 40, 60, 20);
    window.resize(200, 100);
  }
  bool ShowWithFocusInBox() {
    window.show();
    window.activateWindow();
    if (!QTest::qWaitForWindowActive(&window)) return false;
    box->setFocus();
    return box->hasFocus();
  }
  void Type(const QString& text) {
    box->lineEdit()->selectAll();
    QTest::keyClicks(box, text);
  }

  QWidget window;
  EditableComboBox* box;
  QLineEdit* other;
};

}  // namespace

class TestEditableComboBox : public QObject {
  Q_OBJECT

 private slots:
  void onlyTheUsersChoicesAreReported_data();
  void onlyTheUsersChoicesAreReported();
  void typedTextIsNeitherAddedNorCompleted();
  void leavingIsReportedButNotOpeningTheList();
};

void TestEditableComboBox::onlyTheUsersChoicesAreReported_data() {
  QTest::addColumn<QString>("action");
  QTest::addColumn<int>("chosen");
  QTest::addColumn<QString>("shown");
  QTest::addRow("arrow key") << "down" << 1 << "300";
  QTest::addRow("item clicked in the list") << "click" << 1 << "400";
  QTest::addRow("an item's text typed, then Enter") << "type-enter" << 0 << "300";
  QTest::addRow("Enter reaching the line edit itself") << "type-edit-enter" << 0 << "300";
  QTest::addRow("an item's text typed, then the focus leaves") << "type-leave" << 0 << "300";
}

void TestEditableComboBox::onlyTheUsersChoicesAreReported() {
  QFETCH(QString, action);
  QFETCH(int, chosen);
  QFETCH(QString, shown);
  Form f;
  QVERIFY(f.ShowWithFocusInBox());
  QSignalSpy spy(f.box, &EditableComboBox::itemChosen);
  if (action == "down") {
    QTest::keyClick(f.box, Qt::Key_Down);
  } else if (action == "click") {
    f.box->showPopup();
    QAbstractItemView* list = f.box->view();
    QTRY_VERIFY(list->isVisible());
    const QRect item = list->visualRect(list->model()->index(2, 0));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, item.center());
  } else if (action == "type-enter") {
    f.Type("300");
    QTest::keyClick(f.box, Qt::Key_Return);
  } else if (action == "type-edit-enter") {
    f.Type("300");
    QTest::keyClick(f.box->lineEdit(), Qt::Key_Return);
  } else {
    f.Type("300");
    f.other->setFocus();
  }
  QCOMPARE(spy.count(), chosen);
  QCOMPARE(f.box->currentText(), shown);
}

void TestEditableComboBox::typedTextIsNeitherAddedNorCompleted() {
  Form f;
  QVERIFY(f.ShowWithFocusInBox());
  f.Type("4");  // "400" would be its completion
  QCOMPARE(f.box->currentText(), QStringLiteral("4"));
  QTest::keyClick(f.box, Qt::Key_Return);
  QCOMPARE(f.box->count(), 3);
  QCOMPARE(f.box->currentText(), QStringLiteral("4"));
}

void TestEditableComboBox::leavingIsReportedButNotOpeningTheList() {
  Form f;
  QVERIFY(f.ShowWithFocusInBox());
  QSignalSpy left(f.box, &EditableComboBox::left);
  f.box->showPopup();
  QTRY_VERIFY(f.box->view()->isVisible());
  f.box->hidePopup();
  QCOMPARE(left.count(), 0);
  f.box->setFocus();
  f.other->setFocus();
  QCOMPARE(left.count(), 1);
}

QTEST_MAIN(TestEditableComboBox)
#include "tst_editable_combo_box.moc"
