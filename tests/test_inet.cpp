#include "cannedHttpServer.h"
#include "inet.h"

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QVBoxLayout>

using namespace std::chrono_literals;

namespace {

// Keys as the user types them: to the window, which hands them to its focused control.
void typeInto(QWindow *window, const QString &text)
{
    for (const QChar c : text)
        QTest::keyClick(window, c.toLatin1());
}

} // namespace

Q_DECLARE_METATYPE(CannedHttpServer::Reply)

class TestInet : public QObject
{
    Q_OBJECT
private slots:
    void theBuildChoosesTheHost();
    void bodyComesBackOneCharacterPerByte();
    void pathAndQueryAreSentAsGiven();
    void failedRequests_data();
    void failedRequests();
    void replyAtTheCapFits_data();
    void replyAtTheCapFits();
    void inputDuringTheWaitIsThrownAway();
};

void TestInet::theBuildChoosesTheHost()
{
    const Inet inet;
    QCOMPARE(inet.host(), QStringLiteral(QUILLORA_UPDATE_HOST));
    QCOMPARE(inet.timeout(), 60000ms);
}

void TestInet::bodyComesBackOneCharacterPerByte()
{
    CannedHttpServer server;
    QByteArray bytes;
    for (int b = 0; b < 256; ++b)
        bytes += static_cast<char>(b);
    server.setReply(QStringLiteral("/bytes"), 200, bytes);
    Inet inet;
    inet.setHost(server.host());
    const std::optional<QString> body = inet.openUrl(QStringLiteral("/bytes"));
    QVERIFY2(body, qPrintable(inet.errorString()));
    QCOMPARE(body->size(), 256);
    for (int b = 0; b < 256; ++b)
        QCOMPARE(body->at(b).unicode(), b);
}

void TestInet::pathAndQueryAreSentAsGiven()
{
    CannedHttpServer server;
    server.setReply(QStringLiteral("/chain.php"), 200, "ok");
    Inet inet;
    inet.setHost(server.host());
    const QString path = QStringLiteral("/chain.php?one=%20a%26b%23c%25d%2Be%C3%A9%20");
    QVERIFY(inet.openUrl(path));
    QCOMPARE(server.targets, QStringList{path});
}

void TestInet::failedRequests_data()
{
    QTest::addColumn<CannedHttpServer::Reply>("reply");
    QTest::addColumn<QString>("errorPart");
    using Reply = CannedHttpServer::Reply;
    // 404 and 500 pages, a reply cut off and a closed port are failed updates in test_update.
    // Redirects are not followed: the game talks to its update server only.
    QTest::newRow("redirect") << Reply{301, QByteArray(300, 'x'), false, true,
                                       "Location: http://127.0.0.1:9/x\r\n"}
                              << QString();
    QTest::newRow("never answers") << Reply{200, {}, true} << QStringLiteral("300 ms");
    const QByteArray big(Inet::maxReplyBytes + 1, 'A');
    QTest::newRow("too large, announced") << Reply{200, big} << QStringLiteral("larger");
    QTest::newRow("too large, streamed")
        << Reply{200, big, false, false} << QStringLiteral("larger");
}

void TestInet::failedRequests()
{
    QFETCH(CannedHttpServer::Reply, reply);
    QFETCH(QString, errorPart);
    CannedHttpServer server;
    server.setReply(QStringLiteral("/chayn.ver"), reply);
    Inet inet;
    inet.setHost(server.host());
    if (reply.silent)
        inet.setTimeout(300ms);
    QVERIFY(!inet.openUrl(QStringLiteral("/chayn.ver")));
    QVERIFY2(!inet.errorString().isEmpty() && inet.errorString().contains(errorPart),
             qPrintable(inet.errorString()));
    QCOMPARE(server.targets.size(), 1);
    // Not stuck: the next request is made normally.
    server.setReply(QStringLiteral("/chayn.ver"), 200, "8\r\n");
    QCOMPARE(inet.openUrl(QStringLiteral("/chayn.ver")), QStringLiteral("8\r\n"));
}

void TestInet::replyAtTheCapFits_data()
{
    QTest::addColumn<bool>("sendLength");
    QTest::newRow("announced") << true;
    QTest::newRow("streamed") << false;
}

void TestInet::replyAtTheCapFits()
{
    QFETCH(bool, sendLength);
    CannedHttpServer server;
    server.setReply(QStringLiteral("/fits"),
                    {200, QByteArray(Inet::maxReplyBytes, 'A'), false, sendLength, {}});
    Inet inet;
    inet.setHost(server.host());
    const std::optional<QString> fits = inet.openUrl(QStringLiteral("/fits"));
    QVERIFY2(fits, qPrintable(inet.errorString()));
    QCOMPARE(fits->size(), Inet::maxReplyBytes);
}

void TestInet::inputDuringTheWaitIsThrownAway()
{
    QWidget window;
    auto *edit = new QLineEdit(&window);
    auto *button = new QPushButton(QStringLiteral("Go"), &window);
    auto *layout = new QVBoxLayout(&window);
    layout->addWidget(edit);
    layout->addWidget(button);
    window.show();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    edit->setFocus();
    QSignalSpy clicks(button, &QPushButton::clicked);

    CannedHttpServer server;
    server.setReply(QStringLiteral("/slow"), {200, {}, true, true, {}});
    Inet inet;
    inet.setHost(server.host());
    inet.setTimeout(500ms);

    bool disabledMeanwhile = false;
    bool busyCursorMeanwhile = false;
    QTimer::singleShot(100ms, &window, [&] {
        disabledMeanwhile = !window.isEnabled();
        busyCursorMeanwhile = QApplication::overrideCursor() != nullptr;
        typeInto(window.windowHandle(), QStringLiteral("abc"));
        QTest::mouseClick(button, Qt::LeftButton);
        QTest::keyClick(window.windowHandle(), Qt::Key_Return);
    });
    QVERIFY(!inet.openUrl(QStringLiteral("/slow")));

    QCoreApplication::processEvents();
    QCOMPARE(edit->text(), QString());
    QCOMPARE(clicks.count(), 0);
    QVERIFY(disabledMeanwhile);
    QVERIFY(busyCursorMeanwhile);
    QVERIFY(window.isEnabled());
    QCOMPARE(QApplication::overrideCursor(), nullptr);
    // And the window takes input again, in the control that had the focus.
    QCOMPARE(QApplication::focusWidget(), edit);
    typeInto(window.windowHandle(), QStringLiteral("ok"));
    QCOMPARE(edit->text(), QStringLiteral("ok"));
}

QTEST_MAIN(TestInet)
#include "test_inet.moc"
