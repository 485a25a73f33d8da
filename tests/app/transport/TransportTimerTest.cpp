// Transport over the stand-in engine: positions while the engine plays, and the three ways a
// pass ends (the engine stops, the end of the selection, Stop).
#include "support/FakeEngine.h"
#include "transport/Transport.h"

#include <QSignalSpy>
#include <QTest>

#include <memory>

using namespace vumo;

class TransportTimerTest : public QObject
{
    Q_OBJECT

private:
    // An engine that plays for `turns` looks, 1000 frames further at each.
    static void playFor(FakeEngine& engine, int turns)
    {
        auto looks = std::make_shared<int>(0);
        engine.answer = [looks, turns](const QString& name, const QString&)
        {
            if (name == QStringLiteral("IsPlaying"))
                return ++*looks <= turns ? 1 : 0;
            return *looks * 1000; // GetPosition
        };
    }

private slots:
    void passEnds_data()
    {
        QTest::addColumn<int>("turns");
        QTest::addColumn<int>("end");
        QTest::addColumn<QList<int>>("positions");
        QTest::newRow("engine stops") << 3 << 100000 << QList<int>{1500, 2500, 3500};
        QTest::newRow("end reached") << 100 << 3000 << QList<int>{1500, 2500, 3500};
        QTest::newRow("nothing plays") << 0 << 3000 << QList<int>{};
    }
    void passEnds()
    {
        QFETCH(int, turns);
        QFETCH(int, end);
        QFETCH(QList<int>, positions);
        FakeEngine engine;
        playFor(engine, turns);
        Transport transport(engine);
        QSignalSpy started(&transport, &Transport::started);
        QSignalSpy position(&transport, &Transport::position);
        QSignalSpy finished(&transport, &Transport::finished);
        transport.follow(500, end);
        transport.waitForFinished();
        QVERIFY(!transport.running());
        QCOMPARE(started.size(), 1);
        QCOMPARE(finished.size(), 1);
        QList<int> seen;
        for (const QList<QVariant>& p : position)
            seen.append(p.at(0).toInt());
        QCOMPARE(seen, positions);
    }

    void stopEndsThePassAtOnce()
    {
        FakeEngine engine;
        playFor(engine, 1000000);
        Transport transport(engine);
        QSignalSpy finished(&transport, &Transport::finished);
        connect(&transport, &Transport::position, &transport,
                [&](int32_t frame)
                {
                    if (frame >= 3000)
                        transport.stop();
                });
        transport.follow(0, 1 << 30);
        transport.waitForFinished();
        QCOMPARE(finished.size(), 1);
        QCOMPARE(engine.callsOf(QStringLiteral("GetPosition")).size(), 3);
        transport.stop(); // nothing runs: no second end
        QCOMPARE(finished.size(), 1);
    }
};

QTEST_MAIN(TransportTimerTest)
#include "TransportTimerTest.moc"
