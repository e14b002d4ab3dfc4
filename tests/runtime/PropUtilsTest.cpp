#include "runtime/PropUtils.h"

#include <QObject>
#include <gtest/gtest.h>

using namespace kelm24;

struct ClickHandler {
    int Tag = 0;
    bool operator==(const ClickHandler&) const = default;
};
Q_DECLARE_METATYPE(ClickHandler)

namespace {

class PropHolder : public QObject {
    Q_OBJECT
    Q_PROPERTY(QString Caption MEMBER caption)
    Q_PROPERTY(int Tag MEMBER tag)
    Q_PROPERTY(bool Checked MEMBER checked)
    Q_PROPERTY(Align Alignment MEMBER alignment)
    Q_PROPERTY(ClickHandler OnClick MEMBER onClick)
    Q_PROPERTY(QString ReadOnlyText READ ReadOnlyText)

public:
    enum Align { alLeft, alRight, alClient };
    Q_ENUM(Align)
    QString ReadOnlyText() const { return QStringLiteral("fixed"); }

    QString caption = QStringLiteral("确定");
    int tag = 7;
    bool checked = true;
    Align alignment = alRight;
    ClickHandler onClick{3};
};

}  // namespace

TEST(PropertiesByName, ReadWriteAndMissing)
{
    PropHolder holder;
    EXPECT_TRUE(HasPropByName(&holder, "Caption"));
    EXPECT_TRUE(HasPropByName(&holder, "caption"));
    EXPECT_FALSE(HasPropByName(&holder, "Hint"));
    EXPECT_FALSE(HasPropByName(nullptr, "Caption"));
    EXPECT_EQ(GetStrPropByName(&holder, "CAPTION"), QStringLiteral("确定"));
    EXPECT_EQ(GetStrPropByName(&holder, "Nope"), "");
    EXPECT_EQ(GetOrdPropByName(&holder, "Tag"), 7);
    EXPECT_EQ(GetOrdPropByName(&holder, "Checked"), 1);
    EXPECT_EQ(GetOrdPropByName(&holder, "Alignment"), 1);
    EXPECT_EQ(GetOrdPropByName(&holder, "Caption"), 0);  // not an ordinal
    EXPECT_EQ(GetOrdPropByName(nullptr, "Tag"), 0);

    SetStrPropByName(&holder, "Caption", "Print");
    SetOrdPropByName(&holder, "tag", 42);
    SetOrdPropByName(&holder, "Checked", 0);
    SetOrdPropByName(&holder, "Alignment", 2);
    SetStrPropByName(&holder, "Missing", "x");
    SetStrPropByName(&holder, "ReadOnlyText", "x");
    SetStrPropByName(nullptr, "Caption", "x");
    EXPECT_EQ(holder.caption, "Print");
    EXPECT_EQ(holder.tag, 42);
    EXPECT_FALSE(holder.checked);
    EXPECT_EQ(holder.alignment, PropHolder::alClient);
    EXPECT_EQ(GetStrPropByName(&holder, "ReadOnlyText"), "fixed");
}

TEST(PropertiesByName, EventProperties)
{
    PropHolder holder;
    const QVariant handler = GetMethodPropByName(&holder, "OnClick");
    ASSERT_TRUE(handler.isValid());
    EXPECT_EQ(handler.value<ClickHandler>().Tag, 3);
    EXPECT_FALSE(GetMethodPropByName(&holder, "Caption").isValid());
    EXPECT_FALSE(GetMethodPropByName(&holder, "Nope").isValid());
    SetMethodPropByName(&holder, "OnClick", QVariant::fromValue(ClickHandler{9}));
    EXPECT_EQ(holder.onClick.Tag, 9);
    SetMethodPropByName(&holder, "OnClick", QVariant(5));  // not a handler: ignored
    EXPECT_EQ(holder.onClick.Tag, 9);
    EXPECT_EQ(GetStrPropByName(&holder, "OnClick"), "");
}

#include "PropUtilsTest.moc"
