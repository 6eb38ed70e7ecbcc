#include "menuTestWindows.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QLabel>

// The windows keep their designed arrangement, never shrink below the designed sizes, and show
// every caption and list entry whole, whatever the font size (and, run again with
// QT_SCALE_FACTOR, the scaling); every control has a name a screen reader can announce.
class TestMenuLayout : public MenuTest
{
    Q_OBJECT
private slots:
    void init()
    {
        m_font = QApplication::font();
        setUpMenu();
    }
    void cleanup()
    {
        tearDownMenu();
        QApplication::setFont(m_font);
    }
    void windowsShowEverythingWhole_data();
    void windowsShowEverythingWhole();

private:
    QFont m_font;
};

namespace {

QList<QWidget *> controlsOf(const QWidget *window)
{
    QList<QWidget *> controls;
    for (QWidget *child : window->findChildren<QWidget *>()) {
        if (child->parentWidget() == window && child->isVisible())
            controls.append(child);
    }
    return controls;
}

QString captionOf(const QWidget *control)
{
    if (const auto *button = qobject_cast<const QAbstractButton *>(control))
        return button->text();
    if (const auto *label = qobject_cast<const QLabel *>(control))
        return label->text();
    return {};
}

// Every control inside the window, none over another, captions and entries whole.
void checkEverythingWhole(const QWidget *window, QSize designed)
{
    QVERIFY(window->width() >= designed.width());
    QVERIFY(window->height() >= designed.height());
    const QList<QWidget *> controls = controlsOf(window);
    QVERIFY(controls.size() >= 3);
    for (const QWidget *control : controls) {
        const QString name = control->objectName();
        QVERIFY2(window->rect().contains(control->geometry()), qPrintable(name));
        for (const QWidget *other : controls) {
            if (other != control)
                QVERIFY2(!control->geometry().intersects(other->geometry()), qPrintable(name));
        }
        if (!captionOf(control).isEmpty()) {
            QVERIFY2(control->width() >= control->sizeHint().width(), qPrintable(name));
            QVERIFY2(control->height() >= control->sizeHint().height(), qPrintable(name));
        }
        if (const auto *list = qobject_cast<const QListWidget *>(control)) {
            for (int i = 0; i < list->count(); ++i) {
                const QString text = list->item(i)->text();
                QVERIFY2(list->fontMetrics().horizontalAdvance(text) < list->viewport()->width(),
                         qPrintable(text));
            }
        }
    }
}

QWidget *control(const QWidget *window, const char *name)
{
    return window->findChild<QWidget *>(QLatin1String(name));
}

bool leftOf(const QWidget *window, const char *left, const char *right)
{
    const QRect a = control(window, left)->geometry();
    const QRect b = control(window, right)->geometry();
    return a.right() < b.left() && a.bottom() >= b.top() && b.bottom() >= a.top();
}

bool above(const QWidget *window, const char *upper, const char *lower)
{
    return control(window, upper)->geometry().bottom() < control(window, lower)->geometry().top();
}

} // namespace

void TestMenuLayout::windowsShowEverythingWhole_data()
{
    QTest::addColumn<double>("fontScale");
    QTest::newRow("system font") << 1.0;
    QTest::newRow("font half as large again") << 1.5;
    QTest::newRow("font twice as large") << 2.0;
}

void TestMenuLayout::windowsShowEverythingWhole()
{
    QFETCH(double, fontScale);
    QFont font = m_font;
    font.setPointSizeF(m_font.pointSizeF() * fontScale);
    QApplication::setFont(font);

    QVERIFY(start());
    // 4680 x 3195 twips
    checkEverythingWhole(m_menu.get(), {312, 213});
    QVERIFY(above(m_menu.get(), "lstStyle", "cmdOK"));
    QVERIFY(leftOf(m_menu.get(), "cmdOK", "cmdExit"));
    // All seven entries in sight at once.
    const QListWidget *const list = listOf(m_menu.get(), "lstStyle");
    QVERIFY(list->visualItemRect(list->item(list->count() - 1)).bottom() <
            list->viewport()->height());

    frmOptions *const options = openOptions();
    QVERIFY(options);
    // 4680 x 3090 twips
    checkEverythingWhole(options, {312, 206});
    QVERIFY(leftOf(options, "lblTime", "lstTime"));
    QVERIFY(leftOf(options, "chkSounds", "chkAdvanced"));
    QVERIFY(leftOf(options, "chkAdvanced", "chkAuto"));
    QVERIFY(leftOf(options, "cmdOK", "cmdCancel"));
    QVERIFY(above(options, "lstTime", "chkSounds"));
    QVERIFY(above(options, "chkSounds", "cmdOK"));

    for (const QWidget *window : std::initializer_list<const QWidget *>{m_menu.get(), options}) {
        for (QWidget *const widget : controlsOf(window)) {
            QAccessibleInterface *const accessible = QAccessible::queryAccessibleInterface(widget);
            QVERIFY(accessible);
            const QString name = accessible->text(QAccessible::Name);
            QVERIFY2(!name.isEmpty(), qPrintable(widget->objectName()));
            const QString caption = captionOf(widget);
            if (!caption.isEmpty())
                QCOMPARE(name, QString(caption).remove(QLatin1Char('&')));
        }
    }
    QCOMPARE(QAccessible::queryAccessibleInterface(control(m_menu.get(), "lstStyle"))
                 ->text(QAccessible::Name),
             QStringLiteral("Main menu"));
    QCOMPARE(
        QAccessible::queryAccessibleInterface(control(options, "lstTime"))->text(QAccessible::Name),
        QStringLiteral("Clock Game Time"));
}

QTEST_MAIN(TestMenuLayout)
#include "test_menulayout.moc"
