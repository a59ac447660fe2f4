#include "smpppdu.h"

#include <QtTest>

using namespace Qt::StringLiterals;

Q_DECLARE_METATYPE(Smpp::Pdu)
Q_DECLARE_METATYPE(Smpp::Unpacked::Outcome)

namespace {

// Hex written with blanks between the fields, for reading.
QByteArray bytes(const char *spacedHex)
{
    return QByteArray::fromHex(QByteArray(spacedHex).replace(' ', ""));
}

Smpp::Pdu bindTransceiver()
{
    Smpp::Pdu pdu;
    pdu.command = Smpp::BindTransceiver;
    pdu.sequence = 1;
    pdu.systemId = "funk";
    pdu.password = "geheim";
    pdu.systemType = "VMA";
    return pdu;
}

Smpp::Pdu submitWithUdh()
{
    Smpp::Pdu pdu;
    pdu.command = Smpp::SubmitSm;
    pdu.sequence = 2;
    pdu.source = {5, 0, "Funkbote"};
    pdu.destination = {1, 1, "41791234567"};
    pdu.esmClass = 0x40;
    pdu.registeredDelivery = 1;
    pdu.shortMessage = QByteArray::fromHex("0500032A0201") + "Hi";
    pdu.tlvs = {{Smpp::TagUserMessageReference, QByteArray::fromHex("0007")}};
    return pdu;
}

Smpp::Pdu receipt()
{
    Smpp::Pdu pdu;
    pdu.command = Smpp::DeliverSm;
    pdu.sequence = 0x7FFFFFFF;
    pdu.source = {1, 1, "41791234567"};
    pdu.destination = {5, 0, "Funkbote"};
    pdu.esmClass = 0x04;
    pdu.shortMessage = "id:42 stat:DELIVRD";
    pdu.tlvs = {{Smpp::TagReceiptedMessageId, QByteArray("0A1B2C", 7)},
                {Smpp::TagMessageState, QByteArray::fromHex("02")},
                {Smpp::TagNetworkErrorCode, QByteArray::fromHex("030001")}};
    return pdu;
}

Smpp::Pdu submitResp(quint32 status, const QByteArray &messageId)
{
    Smpp::Pdu pdu;
    pdu.command = Smpp::SubmitSm | Smpp::responseBit;
    pdu.status = status;
    pdu.sequence = 2;
    pdu.messageId = messageId;
    return pdu;
}

const char *enquireLinkHex = "00000010 00000015 00000000 0000000C";

} // namespace

class TestSmppPdu : public QObject
{
    Q_OBJECT

private slots:
    // Packed and unpacked against vectors written by hand from SMPP 3.4.
    void vectors_data()
    {
        QTest::addColumn<Smpp::Pdu>("pdu");
        QTest::addColumn<QByteArray>("wire");
        QTest::newRow("bind_transceiver")
            << bindTransceiver()
            << bytes("00000024 00000009 00000000 00000001"
                     " 66756E6B00 67656865696D00 564D4100 34 00 00 00");
        QTest::newRow("submit_sm with UDH, registered_delivery, user_message_reference")
            << submitWithUdh()
            << bytes("00000042 00000004 00000000 00000002"
                     " 00 05 00 46756E6B626F746500 01 01 343137393132333435363700"
                     " 40 00 00 00 00 01 00 00 00 08 0500032A0201 4869"
                     " 0204 0002 0007");
        QTest::newRow("submit_sm_resp") << submitResp(Smpp::Ok, "0A1B2C")
                                        << bytes("00000017 80000004 00000000 00000002"
                                                 " 30413142324300");
        QTest::newRow("submit_sm_resp with a centre's own status")
            << submitResp(0x00000401, "") << bytes("00000011 80000004 00000401 00000002 00");
        QTest::newRow("deliver_sm receipt with options")
            << receipt()
            << bytes("0000005D 00000005 00000000 7FFFFFFF"
                     " 00 01 01 343137393132333435363700 05 00 46756E6B626F746500"
                     " 04 00 00 00 00 00 00 00 00 12 69643A3432207374 61743A44454C495652 44"
                     " 001E 0007 30413142324300 0427 0001 02 0423 0003 030001");
        QTest::newRow("enquire_link") << Smpp::enquireLink(12) << bytes(enquireLinkHex);
        QTest::newRow("unbind") << Smpp::unbind(0xFFFFFFFF)
                                << bytes("00000010 00000006 00000000 FFFFFFFF");
        QTest::newRow("enquire_link_resp") << Smpp::response(Smpp::enquireLink(12))
                                           << bytes("00000010 80000015 00000000 0000000C");
        QTest::newRow("generic_nack") << Smpp::genericNack(5, Smpp::InvalidCommandId)
                                      << bytes("00000010 80000000 00000003 00000005");
    }
    void vectors()
    {
        QFETCH(Smpp::Pdu, pdu);
        QFETCH(QByteArray, wire);
        QCOMPARE(Smpp::pack(pdu).toHex(' '), wire.toHex(' '));
        const Smpp::Unpacked unpacked = Smpp::unpack(wire);
        QCOMPARE(unpacked.outcome, Smpp::Unpacked::Outcome::Complete);
        QCOMPARE(unpacked.used, wire.size());
        QVERIFY2(unpacked.pdu == pdu, qPrintable(Smpp::describe(unpacked.pdu)));
    }

    // A stream of two PDUs and the start of a third, fed as it might come.
    void stream()
    {
        const QByteArray first = Smpp::pack(submitResp(Smpp::Ok, "1"));
        const QByteArray second = bytes(enquireLinkHex);
        QByteArray stream = first + second + second.first(9);
        Smpp::Unpacked unpacked = Smpp::unpack(stream);
        QCOMPARE(unpacked.outcome, Smpp::Unpacked::Outcome::Complete);
        QCOMPARE(unpacked.pdu.messageId, "1"_ba);
        stream.remove(0, unpacked.used);
        unpacked = Smpp::unpack(stream);
        QCOMPARE(unpacked.outcome, Smpp::Unpacked::Outcome::Complete);
        QCOMPARE(unpacked.pdu.command, quint32(Smpp::EnquireLink));
        QCOMPARE(unpacked.pdu.sequence, 12u);
        stream.remove(0, unpacked.used);
        for (qsizetype size : {0, 3, 4, 9}) {
            unpacked = Smpp::unpack(QByteArrayView(stream).first(qMin(size, stream.size())));
            QCOMPARE(unpacked.outcome, Smpp::Unpacked::Outcome::Incomplete);
            QCOMPARE(unpacked.used, 0);
        }
    }

    // Broken PDUs, each followed by an enquire_link: where the length is
    // sane, the broken one is dropped and the next one read.
    void broken_data()
    {
        QTest::addColumn<QByteArray>("wire");
        QTest::addColumn<int>("used");
        QTest::addColumn<QString>("error");
        QTest::newRow("length 0") << bytes("00000000 00000015 00000000 00000001") << 0
                                  << u"command_length 0"_s;
        QTest::newRow("length 15")
            << bytes("0000000F 00000015 00000000 000000") << 0 << u"command_length 15"_s;
        QTest::newRow("length 2^31")
            << bytes("80000000 00000004 00000000 00000001") << 0 << u"command_length 2147483648"_s;
        QTest::newRow("message_id without its NUL")
            << bytes("00000016 80000004 00000000 00000002 304131423243") << 22 << u"NUL"_s;
        QTest::newRow("system_id longer than 15")
            << bytes("00000021 80000009 00000000 00000001 3031323334353637383930313233343500") << 33
            << u"NUL"_s;
        QTest::newRow("source_addr running past the end")
            << bytes("00000018 00000005 00000000 00000001 00 01 01 3431373931") << 24 << u"NUL"_s;
        QTest::newRow("short_message past the end")
            << bytes("00000026 00000005 00000000 00000001"
                     " 00 01 01 343100 05 00 4600 04 00 00 00 00 00 00 00 00 0A 6869")
            << 38 << u"short_message of 10"_s;
        QTest::newRow("short_message of 254")
            << bytes("00000122 00000005 00000000 00000001"
                     " 00 01 01 343100 05 00 4600 04 00 00 00 00 00 00 00 00 FE") +
                   QByteArray(254, 'a')
            << 290 << u"short_message of 254"_s;
        QTest::newRow("option past the end")
            << bytes("00000032 00000005 00000000 00000001"
                     " 00 01 01 343100 05 00 4600 04 00 00 00 00 00 00 00 00 02 6869"
                     " 0427 0001 02 001E 0009 303000")
            << 50 << u"0x001e of 9 octets past the end"_s;
        QTest::newRow("option header cut off")
            << bytes("00000028 00000005 00000000 00000001"
                     " 00 01 01 343100 05 00 4600 04 00 00 00 00 00 00 00 00 02 6869 0427")
            << 40 << u"header cut off"_s;
        QTest::newRow("schedule_delivery_time in a deliver_sm")
            << bytes("00000026 00000005 00000000 00000001"
                     " 00 01 01 343100 05 00 4600 04 00 00 3100 00 00 00 00 00 00 00")
            << 38 << u"NUL"_s;
    }
    void broken()
    {
        QFETCH(QByteArray, wire);
        QFETCH(int, used);
        QFETCH(QString, error);
        if (used > 0)
            QCOMPARE(wire.size(), used); // the row's own command_length is right
        const QByteArray stream = wire + bytes(enquireLinkHex);
        const Smpp::Unpacked unpacked = Smpp::unpack(stream);
        QCOMPARE(unpacked.outcome, Smpp::Unpacked::Outcome::Broken);
        QCOMPARE(unpacked.used, used);
        QVERIFY2(unpacked.error.contains(error), qPrintable(unpacked.error));
        if (used > 0) {
            const Smpp::Unpacked after = Smpp::unpack(stream.mid(used));
            QCOMPARE(after.outcome, Smpp::Unpacked::Outcome::Complete);
            QCOMPARE(after.pdu.command, quint32(Smpp::EnquireLink));
        }
    }

    // Read but not taken apart: the session answers them with generic_nack
    // or by their status.
    void headerOnly_data()
    {
        QTest::addColumn<QByteArray>("wire");
        QTest::addColumn<quint32>("command");
        QTest::addColumn<quint32>("status");
        QTest::newRow("query_sm, a command the program does not read")
            << bytes("00000014 00000003 00000000 00000009 31320000") << quint32(Smpp::QuerySm)
            << 0u;
        QTest::newRow("submit_sm_resp refusing, without its body")
            << bytes("00000010 80000004 0000000B 00000009") << quint32(0x80000004) << 0x0Bu;
        QTest::newRow("bind_transceiver_resp refusing, without its body")
            << bytes("00000010 80000009 0000000E 00000009") << quint32(0x80000009) << 0x0Eu;
    }
    void headerOnly()
    {
        QFETCH(QByteArray, wire);
        QFETCH(quint32, command);
        QFETCH(quint32, status);
        const Smpp::Unpacked unpacked = Smpp::unpack(wire);
        QCOMPARE(unpacked.outcome, Smpp::Unpacked::Outcome::Complete);
        QCOMPARE(unpacked.used, wire.size());
        QCOMPARE(unpacked.pdu.command, command);
        QCOMPARE(unpacked.pdu.status, status);
        QCOMPARE(unpacked.pdu.sequence, 9u);
    }

    // What cannot go out is not packed at all.
    void packRefused_data()
    {
        QTest::addColumn<Smpp::Pdu>("pdu");
        Smpp::Pdu pdu = bindTransceiver();
        pdu.systemId = "0123456789012345";
        QTest::newRow("system_id of 16") << pdu;
        pdu = bindTransceiver();
        pdu.password = "123456789";
        QTest::newRow("password of 9") << pdu;
        pdu = submitWithUdh();
        pdu.destination.address = "123456789012345678901";
        QTest::newRow("destination of 21") << pdu;
        pdu = submitWithUdh();
        pdu.source.address = QByteArray("Fu\0nk", 5);
        QTest::newRow("NUL inside a string") << pdu;
        pdu = submitWithUdh();
        pdu.shortMessage = QByteArray(254, 'a'); // libsmpp34 takes at most 253
        QTest::newRow("short_message of 254") << pdu;
        pdu = submitWithUdh();
        pdu.tlvs = {{Smpp::TagMessagePayload, QByteArray(65536, 'a')}};
        QTest::newRow("option of 64 KiB") << pdu;
        pdu = submitWithUdh();
        pdu.command = Smpp::QuerySm;
        QTest::newRow("query_sm") << pdu;
    }
    void packRefused()
    {
        QFETCH(Smpp::Pdu, pdu);
        QCOMPARE(Smpp::pack(pdu), QByteArray());
    }

    void limitsAccepted()
    {
        Smpp::Pdu pdu = bindTransceiver();
        pdu.systemId = "012345678901234";
        pdu.password = "12345678";
        QCOMPARE(Smpp::unpack(Smpp::pack(pdu)).pdu, pdu);
        pdu = submitWithUdh();
        pdu.shortMessage = QByteArray(253, '\xFF');
        pdu.tlvs = {{Smpp::TagReceiptedMessageId, QByteArray(200, 'x')}};
        QCOMPARE(Smpp::unpack(Smpp::pack(pdu)).pdu, pdu);
    }

    void describe_data()
    {
        QTest::addColumn<Smpp::Pdu>("pdu");
        QTest::addColumn<QString>("expected");
        QTest::newRow("bind, password masked")
            << bindTransceiver()
            << u"bind_transceiver seq 1 system_id \"funk\" password *** system_type \"VMA\" "
               "version 0x34"_s;
        QTest::newRow("submit_sm")
            << submitWithUdh()
            << u"submit_sm seq 2 from 5/0 \"Funkbote\" to 1/1 \"41791234567\" esm_class 0x40 "
               "data_coding 0 registered_delivery 1 short_message 0500032A02014869 "
               "0x0204=0007"_s;
        QTest::newRow("submit_sm_resp")
            << submitResp(0x58, "") << u"submit_sm_resp seq 2 status 0x00000058 message_id \"\""_s;
        QTest::newRow("generic_nack")
            << Smpp::genericNack(5, 3) << u"generic_nack seq 5 status 0x00000003"_s;
        Smpp::Pdu unknown;
        unknown.command = 0x80010200;
        QTest::newRow("a command without a name")
            << unknown << u"command 0x80010200 seq 0 status 0x00000000"_s;
    }
    void describe()
    {
        QFETCH(Smpp::Pdu, pdu);
        QFETCH(QString, expected);
        QCOMPARE(Smpp::describe(pdu), expected);
    }
};

QTEST_GUILESS_MAIN(TestSmppPdu)
#include "tst_smpppdu.moc"
