// AnsiToBstr: every answer a caller gets as text goes through it.
#include <string>

#include "object_test_machine.h"
#include "object/ansi_text.h"

namespace object_test {
namespace {

struct ConversionRow {
    const char* name;
    std::string ansi;
};

const ConversionRow kConversionRows[] = {
    {"EmptyTextIsAnAllocatedEmptyString", ""},
    {"Ascii", "Microsoft Windows 98"},
    {"AccentsTakeTheCodePagesCharacters", "Ren\xE9 M\xFCller"},
    {"Byte0x80IsNotWidenedAsLatin1", "Price \x80 5"},
    {"AFullResultBuffer", std::string(1039, 'k')},
};

TEST(ObjectAnsiToBstr, ConvertsThroughTheAnsiCodePage) {
    for (const ConversionRow& row : kConversionRows) {
        SCOPED_TRACE(row.name);

        BSTR text = object::AnsiToBstr(row.ansi.c_str());

        ASSERT_NE(nullptr, text);
        const std::wstring expected = FromCodePage(row.ansi);
        EXPECT_EQ(expected.size(), SysStringLen(text));
        EXPECT_EQ(expected, std::wstring(text, SysStringLen(text)));
        EXPECT_EQ(L'\0', text[SysStringLen(text)]) << "terminated like every BSTR";
        SysFreeString(text);
    }
}

TEST(ObjectAnsiToBstr, StopsAtTheFirstZero) {
    BSTR text = object::AnsiToBstr("Enum\0Hidden");
    ASSERT_NE(nullptr, text);
    EXPECT_EQ(std::wstring(L"Enum"), std::wstring(text, SysStringLen(text)));
    SysFreeString(text);
}

TEST(ObjectAnsiToBstr, NullTextIsEmptyText) {
    BSTR text = object::AnsiToBstr(nullptr);
    ASSERT_NE(nullptr, text);
    EXPECT_EQ(0u, SysStringLen(text));
    SysFreeString(text);
}

}  // namespace
}  // namespace object_test
