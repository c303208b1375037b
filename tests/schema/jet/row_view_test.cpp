// Row frames: fixed and variable columns, null masks, columns added after a row was written,
// and the Jet 3 jump table for rows longer than 256 bytes.
#include "schema/jet/row_view.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace zl::schema::jet {
namespace {

using ByteVector = std::vector<std::byte>;

ByteVector filled(std::size_t count, char value) {
    return ByteVector(count, static_cast<std::byte>(value));
}

std::string asText(const std::optional<Bytes>& value) {
    std::string out;
    for (const std::byte b : *value) {
        out.push_back(std::to_integer<char>(b));
    }
    return out;
}

ColumnDef fixedColumn(std::uint16_t number, std::uint16_t offset) {
    ColumnDef column;
    column.name = "F" + std::to_string(number);
    column.type = 0x04;
    column.number = number;
    column.fixedOffset = offset;
    column.flags = kColumnFixed;
    return column;
}

ColumnDef variableColumn(std::uint16_t number, std::uint16_t varIndex) {
    ColumnDef column;
    column.name = "V" + std::to_string(number);
    column.type = 0x0A;
    column.number = number;
    column.varIndex = varIndex;
    return column;
}

// A Jet 3 row: count, 4 fixed bytes, variable values (nullopt = null), offsets and jump table
// backwards, variable count, null mask (all columns present except null values).
ByteVector jet3Row(const std::vector<std::optional<ByteVector>>& values) {
    const std::size_t columns = values.size() + 1;
    ByteVector data{static_cast<std::byte>(columns), std::byte{1}, std::byte{2}, std::byte{3},
                    std::byte{4}};
    std::vector<std::size_t> offsets;
    for (const auto& value : values) {
        offsets.push_back(data.size());
        if (value) {
            data.insert(data.end(), value->begin(), value->end());
        }
    }
    offsets.push_back(data.size());
    const std::size_t mask = (columns + 7) / 8;
    std::size_t jumps = 0;
    while ((data.size() + offsets.size() + jumps + 1 + mask - 1) / 256 != jumps) {
        ++jumps;
    }
    ByteVector row = data;
    for (std::size_t i = offsets.size(); i-- > 0;) {
        row.push_back(static_cast<std::byte>(offsets[i] & 0xFF));
    }
    for (std::size_t k = jumps; k-- > 0;) {
        std::size_t first = 0xFF;
        for (std::size_t i = 0; i < offsets.size(); ++i) {
            if (offsets[i] >= (k + 1) * 256) {
                first = i;
                break;
            }
        }
        row.push_back(static_cast<std::byte>(first));
    }
    row.push_back(static_cast<std::byte>(values.size()));
    std::vector<std::byte> nulls(mask);
    nulls[0] = std::byte{1};  // the fixed column
    for (std::size_t i = 0; i < values.size(); ++i) {
        if (values[i]) {
            nulls[(i + 1) / 8] |= static_cast<std::byte>(1u << ((i + 1) % 8));
        }
    }
    row.insert(row.end(), nulls.begin(), nulls.end());
    return row;
}

TEST(RowViewTest, Jet3RowsUseTheJumpTablePast256Bytes) {
    const Origin origin(9, 0);
    const ByteVector row =
        jet3Row({filled(200, 'a'), filled(100, 'b'), std::nullopt, filled(300, 'd')});
    ASSERT_GT(row.size(), 512u);
    const Result<RowView> view = RowView::parse(row, origin, formatFor(JetVersion::Jet3), true);
    ASSERT_TRUE(view.ok()) << view.error().message;
    EXPECT_EQ(asText(*view->value(variableColumn(1, 0))), std::string(200, 'a'));
    EXPECT_EQ(asText(*view->value(variableColumn(2, 1))), std::string(100, 'b'));
    EXPECT_FALSE(view->value(variableColumn(3, 2))->has_value());
    EXPECT_EQ(asText(*view->value(variableColumn(4, 3))), std::string(300, 'd'));
    const std::optional<Bytes> fixed = *view->value(fixedColumn(0, 0));
    EXPECT_EQ(fixed->size(), 4u);
    EXPECT_EQ(std::to_integer<int>((*fixed)[3]), 4);
}

TEST(RowViewTest, Jet3IgnoresAFillerJumpEntry) {
    // The row is just over 256 bytes but its data is not, so the one jump entry is a filler.
    const Origin origin(9, 0);
    const ByteVector row = jet3Row({filled(120, 'a'), filled(127, 'b')});
    ASSERT_GT(row.size(), 256u);
    const Result<RowView> view = RowView::parse(row, origin, formatFor(JetVersion::Jet3), true);
    ASSERT_TRUE(view.ok()) << view.error().message;
    EXPECT_EQ(asText(*view->value(variableColumn(2, 1))), std::string(127, 'b'));
}

// A Jet 4 row with a Long (column 0), texts at variable slots 0 and 1 (columns 1 and 3) and a
// column 2 that is null.
ByteVector jet4Row() {
    ByteVector row{std::byte{4}, std::byte{0}, std::byte{7},
                   std::byte{0}, std::byte{0}, std::byte{0}};
    const std::size_t first = row.size();
    for (const char c : std::string("hi")) {
        row.push_back(static_cast<std::byte>(c));
    }
    const std::size_t second = row.size();
    for (const char c : std::string("there")) {
        row.push_back(static_cast<std::byte>(c));
    }
    const std::size_t end = row.size();
    for (const std::size_t offset : {end, second, first}) {
        row.push_back(static_cast<std::byte>(offset));
        row.push_back(std::byte{0});
    }
    row.push_back(std::byte{2});
    row.push_back(std::byte{0});
    row.push_back(std::byte{0x0B});  // columns 0, 1 and 3 present
    return row;
}

TEST(RowViewTest, Jet4RowsFindFixedAndVariableValues) {
    const Origin origin(4, 0x800);
    const ByteVector row = jet4Row();
    const Result<RowView> view = RowView::parse(row, origin, formatFor(JetVersion::Jet4), true);
    ASSERT_TRUE(view.ok()) << view.error().message;
    EXPECT_EQ(std::to_integer<int>((**view->value(fixedColumn(0, 0)))[0]), 7);
    EXPECT_EQ(asText(*view->value(variableColumn(1, 0))), "hi");
    EXPECT_FALSE(view->value(variableColumn(2, 5))->has_value());  // null in the mask
    EXPECT_EQ(asText(*view->value(variableColumn(3, 1))), "there");
    // Written before columns 4 and slot 2 existed: null, not an error.
    EXPECT_FALSE(view->value(fixedColumn(4, 0))->has_value());
    ColumnDef later = variableColumn(3, 2);
    EXPECT_FALSE(view->value(later)->has_value());
}

TEST(RowViewTest, RejectsValuesOutsideTheRow) {
    const Origin origin(4, 0x800);
    ByteVector row = jet4Row();
    row[row.size() - 5] = std::byte{200};  // offset of variable slot 0
    const Result<RowView> view = RowView::parse(row, origin, formatFor(JetVersion::Jet4), true);
    ASSERT_TRUE(view.ok());
    const auto value = view->value(variableColumn(1, 0));
    ASSERT_FALSE(value.ok());
    EXPECT_EQ(value.error().message,
              "page 4 +0x800: column V1 spans 200..8, outside the row's 21 data bytes");
    const Result<std::optional<Bytes>> fixed = view->value(fixedColumn(0, 30));
    ASSERT_FALSE(fixed.ok());
    EXPECT_NE(fixed.error().message.find("lies outside the row"), std::string::npos);
}

TEST(RowViewTest, RejectsFramesThatDoNotFit) {
    const Origin origin(4, 0);
    const std::vector<std::pair<ByteVector, std::string>> cases = {
        {{}, "row column count needs 2 bytes"},
        {{std::byte{0xFF}, std::byte{0xFF}, std::byte{0}}, "cannot hold 65535 columns"},
        {{std::byte{1}, std::byte{0}, std::byte{0xFF}, std::byte{0x7F}, std::byte{1}},
         "variable column count 32767 does not fit"},
    };
    for (const auto& [row, expected] : cases) {
        const Result<RowView> view = RowView::parse(row, origin, formatFor(JetVersion::Jet4), true);
        ASSERT_FALSE(view.ok()) << expected;
        EXPECT_NE(view.error().message.find(expected), std::string::npos) << view.error().message;
    }
}

}  // namespace
}  // namespace zl::schema::jet
