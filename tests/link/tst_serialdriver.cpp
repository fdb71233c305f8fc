#include "link/serialdriver.h"

#include <QTest>

using SerialDriver::ErrorCounters;

class TestSerialDriver : public QObject {
    Q_OBJECT
private slots:
    void grownCountersGiveTheirFlags_data() {
        QTest::addColumn<int>("which");
        QTest::addColumn<int>("flag");
        QTest::newRow("framing") << 0 << int(SerialDriver::Frame);
        QTest::newRow("overrun") << 1 << int(SerialDriver::Overrun);
        QTest::newRow("parity") << 2 << int(SerialDriver::RxParity);
        QTest::newRow("break") << 3 << int(SerialDriver::Break);
        QTest::newRow("input queue overrun") << 4 << int(SerialDriver::RxOver);
    }
    void grownCountersGiveTheirFlags() {
        QFETCH(int, which);
        QFETCH(int, flag);
        ErrorCounters before;
        before.valid = true;
        before.frame = before.overrun = before.parity = before.brk = before.bufOverrun = 5;
        ErrorCounters after = before;
        quint32* counters[] = {&after.frame, &after.overrun, &after.parity, &after.brk,
                               &after.bufOverrun};
        ++*counters[which];
        QCOMPARE(SerialDriver::flagsBetween(before, after), flag);
        QCOMPARE(SerialDriver::flagsBetween(before, before), 0);
    }

    void countersTheDriverDoesNotKeepGiveNoFlags() {
        ErrorCounters before;
        ErrorCounters after;
        after.valid = true;
        after.frame = 3;
        QCOMPARE(SerialDriver::flagsBetween(before, after), 0);
    }

    void noDeviceHasNothingQueuedAndNoCounters() {
        ErrorCounters counters;
        QVERIFY(!SerialDriver::readCounters(-1, counters));
        QCOMPARE(SerialDriver::outputQueued(-1), 0);
    }
};

QTEST_GUILESS_MAIN(TestSerialDriver)
#include "tst_serialdriver.moc"
