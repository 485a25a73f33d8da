// The message window: its caption, message and the short paint wait of Init.
#include "dialogs/FrmMessage.h"

#include <QElapsedTimer>
#include <QLabel>
#include <QTest>
#include <QTimer>

using namespace vumo;

class MessageTest : public QObject
{
    Q_OBJECT

private slots:
    void windowHasItsCaptionAndLabel()
    {
        FrmMessage message;
        QCOMPARE(message.windowTitle(), QStringLiteral("Please wait for operation to complete."));
        message.setMessage(QStringLiteral("Opening project ..."));
        QCOMPARE(message.findChild<QLabel*>(QStringLiteral("lblMessage"))->text(),
                 QStringLiteral("Opening project ..."));
        QCOMPARE(message.timer().interval(), 50);
        QVERIFY(!message.timer().isActive());
    }

    void initShowsTheWindowAndWaitsFiveTicks()
    {
        FrmMessage message;
        message.setMessage(QStringLiteral("Mixing Tracks ..."));
        bool ran = false; // other events run meanwhile
        QTimer::singleShot(10, this, [&] { ran = true; });
        QElapsedTimer elapsed;
        elapsed.start();
        message.Init();
        QVERIFY(ran);
        const qint64 ms = elapsed.elapsed();
        QVERIFY(message.isVisible());
        QVERIFY(!message.isModal());
        QVERIFY2(ms >= 240, qPrintable(QString::number(ms)));
        QVERIFY2(ms < 2000, qPrintable(QString::number(ms)));
        QVERIFY(!message.timer().isActive());
        message.hide();
        QVERIFY(!message.isVisible());
    }
};

QTEST_MAIN(MessageTest)
#include "MessageTest.moc"
