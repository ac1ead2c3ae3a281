#include "json/cStringBuilder.h"

#include "platform/Fallo.h"
#include "tests/json/Ayuda.h"

#include <gtest/gtest.h>

namespace {
int NumeroDeFallo(const std::function<void()>& f) {
    try {
        f();
    } catch (const Fallo& e) {
        return e.Numero();
    }
    return 0;
}
}  // namespace

TEST(cStringBuilder, CreceEnTrozosEnteros) {
    cStringBuilder b;
    EXPECT_EQ(b.Length(), 0);
    EXPECT_EQ(b.Capacity(), 0);
    EXPECT_EQ(b.ChunkSize(), 8192);
    EXPECT_EQ(b.toString(), QString());
    b.Append(u"x");
    EXPECT_EQ(b.Capacity(), 8192);
    b.Append(QString(9999, QLatin1Char('y')));
    EXPECT_EQ(b.Length(), 10000);
    EXPECT_EQ(b.Capacity(), 16384);
    b.Append(u"");
    EXPECT_EQ(b.Length(), 10000);

    cStringBuilder c;
    c.ChunkSize(4);
    c.Append(u"abcdefghij");
    EXPECT_EQ(c.Length(), 10);
    EXPECT_EQ(c.Capacity(), 12);
    c.HeapMinimize();
    EXPECT_EQ(c.Capacity(), 12);
    EXPECT_EQ(c.toString(), QStringLiteral("abcdefghij"));
    c.ChunkSize(0);  // taken as 1
    EXPECT_EQ(c.ChunkSize(), 1);
}

TEST(cStringBuilder, TheStringClearYAppendNL) {
    cStringBuilder b;
    b.ChunkSize(4);
    b.TheString(u"abcdef");
    EXPECT_EQ(b.Capacity(), 8);
    b.TheString(u"ab");  // never reduces the capacity
    EXPECT_EQ(b.Capacity(), 8);
    EXPECT_EQ(b.toString(), QStringLiteral("ab"));
    b.TheString(u"");
    EXPECT_EQ(b.Length(), 0);
    EXPECT_EQ(b.Capacity(), 0);
    b.AppendNL(u"ok");
    EXPECT_EQ(b.toString(), QStringLiteral("ok\r\n"));
    b.Clear();
    EXPECT_EQ(b.Length(), 0);
    EXPECT_EQ(b.Capacity(), 0);
    EXPECT_EQ(b.ChunkSize(), 4);
    b.AppendByVal(QStringLiteral("zz"));
    b.Append(b.Vista());  // a piece of itself, across growth
    b.Append(b.Vista());
    EXPECT_EQ(b.toString(), QStringLiteral("zzzzzzzz"));
}

TEST(cStringBuilder, InsertYRemoveConError9SinCambios) {
    cStringBuilder b;
    b.Append(u"abc");
    b.Insert(0, u"xy");
    EXPECT_EQ(b.toString(), QStringLiteral("xyabc"));
    b.TheString(u"abc");
    b.Insert(3, u"xy");
    EXPECT_EQ(b.toString(), QStringLiteral("abcxy"));
    b.TheString(u"abc");
    EXPECT_EQ(NumeroDeFallo([&] { b.Insert(4, u"xy"); }), 9);
    EXPECT_EQ(NumeroDeFallo([&] { b.InsertByVal(-1, QStringLiteral("xy")); }), 9);
    EXPECT_EQ(b.toString(), QStringLiteral("abc"));

    b.TheString(u"abcd");
    b.Remove(1, 2);
    EXPECT_EQ(b.toString(), QStringLiteral("ad"));
    EXPECT_EQ(b.Capacity(), 8192);
    b.TheString(u"abcd");
    EXPECT_EQ(NumeroDeFallo([&] { b.Remove(2, 3); }), 9);
    EXPECT_EQ(NumeroDeFallo([&] { b.Remove(5, 0); }), 9);
    EXPECT_EQ(NumeroDeFallo([&] { b.Remove(1, -1); }), 9);
    EXPECT_EQ(b.toString(), QStringLiteral("abcd"));
    b.Remove(4, 0);
    EXPECT_EQ(b.toString(), QStringLiteral("abcd"));

    // Inserting past a chunk boundary keeps the text around the gap.
    cStringBuilder c;
    c.ChunkSize(3);
    c.Append(u"1234");
    c.Insert(2, u"abcdefg");
    EXPECT_EQ(c.toString(), QStringLiteral("12abcdefg34"));
    EXPECT_EQ(c.Capacity(), 12);
}

TEST(cStringBuilder, Find) {
    cStringBuilder b;
    b.Append(u"abc");
    EXPECT_EQ(b.Find(u"c", 0), 3);
    EXPECT_EQ(b.Find(u"d", 0), 0);
    EXPECT_EQ(b.Find(u" ", 1), 0);  // not in the spare room
    EXPECT_EQ(b.Find(u"C", 1, 0), 0);
    EXPECT_EQ(b.Find(u"C", 1, 1), 3);
    b.Append(u"abc");
    EXPECT_EQ(b.Find(u"a", 2), 4);
    EXPECT_EQ(b.Find(u"a", 7), 0);
    EXPECT_EQ(b.Find(u"a", 100), 0);
    EXPECT_EQ(b.Find(u"bca", -3), 2);
}

TEST(cStringBuilder, HeapMinimizeDejaComoMuchoUnTrozo) {
    cStringBuilder b;
    b.ChunkSize(10);
    b.Append(QString(95, QLatin1Char('a')));
    EXPECT_EQ(b.Capacity(), 100);
    b.Remove(0, 90);
    EXPECT_EQ(b.Capacity(), 100);
    b.HeapMinimize();
    EXPECT_EQ(b.Capacity(), 10);
    EXPECT_EQ(b.toString(), QString(5, QLatin1Char('a')));
    b.Append(QString(20, QLatin1Char('b')));
    EXPECT_EQ(b.Capacity(), 30);
    EXPECT_EQ(b.Length(), 25);

    cStringBuilder vacio;
    vacio.HeapMinimize();
    EXPECT_EQ(vacio.Capacity(), 0);
}
