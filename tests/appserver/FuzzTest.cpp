// Bounded random loops over the two doors a hostile client knocks on: the
// frame decoder, and the access policy under client statements. A fixed seed
// makes a failure repeatable; KELM24_FUZZ_SEED and KELM24_FUZZ_ROUNDS change
// the seed and the number of rounds for a longer run by hand.
#include "appserver/AppServer.h"
#include "appserver/DataLayer.h"
#include "demo/SampleCompany.h"
#include "kelm24/DataPacket.h"
#include "kelm24/HostObjects.h"
#include "platform/socketconn/WireFormat.h"
#include "tests/appserver/TestSupport.h"

#include <gtest/gtest.h>

#include <QCryptographicHash>
#include <QCborStreamWriter>
#include <QRandomGenerator>

using namespace kelm24;

namespace {

quint32 Seed() { return static_cast<quint32>(qEnvironmentVariableIntValue("KELM24_FUZZ_SEED")) + 20240601u; }

int Rounds(int standard)
{
    const int asked = qEnvironmentVariableIntValue("KELM24_FUZZ_ROUNDS");
    return asked > 0 ? asked : standard;
}

// Requests of every shape the decoder knows.
QVector<QByteArray> SeedFrames()
{
    Variant grid = Variant::CreateArray(1, 2, -1, 1);
    grid.At(1, -1) = 5;
    grid.At(2, 1) = QStringLiteral("格");
    Variant shifted = Variant::CreateArray(3, 4);
    shifted[3] = Variant::Null();
    shifted[4] = Variant::FromDate(45000.5);
    return {EncodeRequest({TWireOp::Call, QStringLiteral("RunFreeSQL"), {QStringLiteral("SELECT 1")}, {}}),
            EncodeRequest({TWireOp::Call, QStringLiteral("UpdatePrintCount"),
                           {Variant::ArrayOf({QStringLiteral("$$PURTG"), QStringLiteral("TG012"), QStringLiteral("TG001='1'")})}, {}}),
            EncodeRequest({TWireOp::Set, QStringLiteral("X"), {}, grid}),
            EncodeRequest({TWireOp::Call, QStringLiteral("Y"), {shifted, Variant(int64_t(1) << 40), true, 2.5}, {}}),
            EncodeRequest({TWireOp::SignIn, QStringLiteral("Clerk"), {}, QStringLiteral("pw")}),
            EncodeRequest({TWireOp::Open, QStringLiteral("KELM24S.Class1"), {}, {}})};
}

// Bytes that sit at the edges of CBOR's heads: lengths and integers of
// every width, the largest ones, tags and breaks.
const char kEdgeBytes[] = {'\x00', '\x17', '\x18', '\x19', '\x1a', '\x1b', '\x1f', '\x3b', '\x5f', '\x7f',
                           '\x80', '\x82', '\x84', '\x9b', '\x9f', '\xd9', '\xda', '\xff', '\xfd', '\xeb'};

QByteArray Mutate(QByteArray bytes, QRandomGenerator& random)
{
    const int edits = 1 + random.bounded(4);
    for (int e = 0; e < edits && !bytes.isEmpty(); ++e) {
        const int at = random.bounded(static_cast<int>(bytes.size()));
        switch (random.bounded(6)) {
        case 0: bytes[at] = static_cast<char>(random.bounded(256)); break;
        case 1: bytes[at] = kEdgeBytes[random.bounded(static_cast<int>(sizeof kEdgeBytes))]; break;
        case 2: bytes.insert(at, kEdgeBytes[random.bounded(static_cast<int>(sizeof kEdgeBytes))]); break;
        case 3: bytes.truncate(at); break;
        case 4: bytes.insert(at, bytes.mid(at, random.bounded(8))); break;
        default:
            // A run of 0xff or 0x7f bytes makes lengths and bounds at the ends of the integer range.
            bytes.replace(at, std::min<int>(8, static_cast<int>(bytes.size()) - at), QByteArray(8, random.bounded(2) ? '\xff' : '\x7f'));
            break;
        }
    }
    return bytes;
}

}  // namespace

TEST(Fuzz, FrameDecoderRaisesOrDecodesNeverCrashes)
{
    QRandomGenerator random(Seed());
    const QVector<QByteArray> seeds = SeedFrames();
    int decoded = 0, refused = 0;
    for (int round = 0; round < Rounds(30000); ++round) {
        const QByteArray bytes = Mutate(seeds[random.bounded(static_cast<int>(seeds.size()))], random);
        try {
            TWireRequest request = DecodeRequest(bytes);
            ++decoded;
            // What decodes also goes back out whole: an echo in an answer
            // costs no more than the request did.
            TWireAnswer echo;
            echo.Args = request.Args;
            echo.Result = request.Value;
            const QByteArray out = EncodeAnswer(echo);
            EXPECT_LE(out.size(), 64 * bytes.size() + 64) << bytes.toHex().toStdString();
            EXPECT_EQ(DecodeAnswer(out).Args.size(), request.Args.size());
        } catch (const Exception&) {
            ++refused;
        }
    }
    // Both roads were walked.
    EXPECT_GT(decoded, 100);
    EXPECT_GT(refused, 100);
}

TEST(Fuzz, ArrayBoundsAtTheEndsOfTheIntegerRangeAreRefusedAtOnce)
{
    // [1, "x", [tag 65003 [[low1, high1, low2, high2], []]], undefined]: an
    // empty two-dimensional array whose other dimension spans 2^31 indexes.
    auto frame = [](qint64 low1, qint64 high1, qint64 low2, qint64 high2) {
        QByteArray out;
        QCborStreamWriter w(&out);
        w.startArray(4);
        w.append(1);
        w.append(QStringLiteral("x"));
        w.startArray(1);
        w.append(QCborTag(65003));
        w.startArray(2);
        w.startArray(4);
        for (qint64 b : {low1, high1, low2, high2}) w.append(b);
        w.endArray();
        w.startArray(0);
        w.endArray();
        w.endArray();
        w.endArray();
        w.append(QCborSimpleType::Undefined);
        w.endArray();
        return out;
    };
    const qint64 low = INT32_MIN / 2, high = INT32_MAX / 2;
    for (const QByteArray& bytes : {frame(low, high, 0, -1), frame(0, -1, low, high), frame(low, high, low, high),
                                    frame(INT32_MIN, INT32_MAX, 0, -1), frame(0, -1, INT64_MIN, INT64_MAX)}) {
        EXPECT_LT(bytes.size(), 64);
        EXPECT_THROW(DecodeRequest(bytes), Exception) << bytes.toHex().toStdString();
    }
    // An empty array with sound bounds still decodes.
    const TWireRequest empty = DecodeRequest(frame(1, 0, 1, 3));
    ASSERT_EQ(empty.Args.size(), 1u);
    EXPECT_EQ(empty.Args[0].DimCount(), 2);
    EXPECT_EQ(empty.Args[0].Count(1), 0);
}

namespace {

// Statement pieces: the plug-in's own words, the tables it must not write,
// the engine's catalogue and the tricks that once walked around the checks.
const QStringList kHeads = {QStringLiteral("SELECT"), QStringLiteral("UPDATE"), QStringLiteral("UPDATE OR REPLACE"),
                            QStringLiteral("UPDATE OR IGNORE"), QStringLiteral("INSERT INTO"), QStringLiteral("INSERT OR REPLACE INTO"),
                            QStringLiteral("DELETE FROM"), QStringLiteral("WITH C AS (SELECT 1) SELECT"), QStringLiteral("REPLACE INTO")};
const QStringList kTables = {QStringLiteral("ADMMF"), QStringLiteral("$$ADMMG"), QStringLiteral("ADMMR"), QStringLiteral("GENES"),
                             QStringLiteral("WARRANT"), QStringLiteral("PURTG"), QStringLiteral("$$PURTH"), QStringLiteral("ADMTA"),
                             QStringLiteral("sqlite_master"), QStringLiteral("pragma_table_info('ADMMF')"), QStringLiteral("CMSMF"),
                             QStringLiteral("(SELECT * FROM ADMMF)"), QStringLiteral("ADMMQ")};
const QStringList kTerms = {QStringLiteral("CAST(MF001 AS TEXT)='Clerk'"), QStringLiteral("1=1"), QStringLiteral("MF005='Y'"),
                            QStringLiteral("TG012=TG012+1"), QStringLiteral("MR005='1=1'"), QStringLiteral("NT004='x'"),
                            QStringLiteral("load_extension('x')"), QStringLiteral("readfile('/etc/passwd')"),
                            QStringLiteral("(SELECT MF003 FROM ADMMF)"), QStringLiteral("EXISTS (SELECT 1 FROM GENES)"),
                            QStringLiteral("TG001 IN (SELECT MG001 FROM ADMMG)"), QStringLiteral("zeroblob(10)"),
                            QStringLiteral("CAST(x AS ADMMF)"), QStringLiteral("SCONDITION='z'")};
const QStringList kJoins = {QString(), QStringLiteral(" NATURAL JOIN sqlite_master AS PURMA"), QStringLiteral(" AS PURTH"),
                            QStringLiteral(" NATURAL JOIN pragma_database_list AS X"), QStringLiteral(" LEFT JOIN ADMMF AS AA ON 1=1")};

QString Pick(const QStringList& list, QRandomGenerator& random) { return list[random.bounded(static_cast<int>(list.size()))]; }

QString RandomStatement(QRandomGenerator& random)
{
    const QString head = Pick(kHeads, random), table = Pick(kTables, random), term = Pick(kTerms, random);
    QString sql;
    if (head.endsWith(QLatin1String("SELECT")))
        sql = QStringLiteral("%1 * FROM %2%3 WHERE %4").arg(head, table, Pick(kJoins, random), term);
    else if (head.startsWith(QLatin1String("UPDATE")))
        sql = QStringLiteral("%1 %2 SET %3 WHERE %4").arg(head, table, Pick(kTerms, random).section(QLatin1Char('='), 0, 0) + QStringLiteral("='Y'"), term);
    else if (head.startsWith(QLatin1String("DELETE")))
        sql = QStringLiteral("%1 %2 WHERE %3").arg(head, table, term);
    else
        sql = QStringLiteral("%1 %2 SELECT * FROM %3 WHERE %4").arg(head, table, Pick(kTables, random), term);
    if (random.bounded(4) == 0) sql += Pick({QStringLiteral(";"), QStringLiteral("; DELETE FROM ADMMF"), QStringLiteral(" --")}, random);
    return sql;
}

}  // namespace

TEST(Fuzz, RandomStatementsOfAPrintOnlyUserLeaveGuardedTablesAsTheyWere)
{
    test::TSampleInstall install(20);
    Variant server(std::make_shared<TAppServer>(install.Settings()));
    TAppServerObject as(server);
    as.Connect(TSampleCompany::ProgramCode, TSampleCompany::ClerkUser, TSampleCompany::CompanyCode, QStringLiteral("DEMO"),
               QStringLiteral("PURTG"));
    TDataLayer direct(install.Settings());
    auto fingerprint = [&] {
        QCryptographicHash hash(QCryptographicHash::Sha256);
        for (const QString& table : {QStringLiteral("ADMMF"), QStringLiteral("ADMMG"), QStringLiteral("ADMMR"), QStringLiteral("GENES"),
                                     QStringLiteral("WARRANT"), QStringLiteral("PURTG"), QStringLiteral("PURTH"), QStringLiteral("CMSMF")})
            for (const TSqlRow& row : direct.Select(QStringLiteral("SELECT * FROM %1 ORDER BY 1, 2").arg(table)))
                for (const QVariant& v : row) hash.addData(v.toString().toUtf8() + '\x1f');
        return hash.result();
    };
    const QByteArray before = fingerprint();
    const int sendLog = direct.Select(QStringLiteral("SELECT COUNT(*) FROM ADMTA"))[0][0].toInt();
    QRandomGenerator random(Seed());
    int ran = 0;
    // Between the attacks the plug-in's own statements still run: a refusal
    // leaves nothing behind on the connection.
    const QStringList own = {QStringLiteral("SELECT * FROM $$ADMMQ WHERE MQ002='3402'"),
                             QStringLiteral("INSERT INTO $$ADMTA (COMPANY,CREATOR,TA001,TA002,TA003) VALUES('DEMO','Clerk','KELM24','S1','Y')")};
    for (int round = 0; round < Rounds(1500); ++round) {
        if (round % 10 == 0) {
            EXPECT_EQ(as.RunFreeSQL(own[(round / 10) % 2]), 1) << round;
        }
        const QString sql = RandomStatement(random);
        if (as.RunFreeSQL(sql) >= 0) ++ran;
        try {
            server.Call(member::AS_GetRecords, {QStringLiteral("Provider1"), sql, Variant()});
        } catch (const Exception&) {
            // Refused, as most of them should be.
        }
    }
    EXPECT_EQ(fingerprint(), before);
    // At most rows of the send log were added.
    EXPECT_GE(direct.Select(QStringLiteral("SELECT COUNT(*) FROM ADMTA"))[0][0].toInt(), sendLog + Rounds(1500) / 20);
    RecordProperty("random statements that ran", ran);
}
