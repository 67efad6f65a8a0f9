#include <gtest/gtest.h>

#include "ui/MenuLoader.h"
#include "ui/TemplateLoader.h"

namespace qm::ui {
namespace {

QByteArray dialogWith(const char* controls, const char* extra = "") {
    return QByteArray(R"({"id": 7, "kind": "dialog", "size": [100, 50],
                          "font": {"face": "System", "points": 8}, )") +
           extra + R"("controls": [)" + controls + "]}";
}

TEST(MalformedTemplates, AreRefusedWithTheReason) {
    struct Case {
        QByteArray json;
        const char* reason;
    };
    const Case cases[] = {
        {"{\"id\": 7,", "at offset"},
        {"[1, 2]", "not a JSON object"},
        {dialogWith(R"({"id": 1, "kind": "pushbuton", "rect": [0, 0, 10, 10]})"),
         "control 0 (id 1): unknown kind \"pushbuton\""},
        {dialogWith(R"({"id": 1, "kind": "edit", "rect": [0, 0, 10]})"),
         "\"rect\" must be 4 whole numbers"},
        {dialogWith(R"({"id": 1, "kind": "edit", "rect": [0, 0, 10, 10], "stlyes": []})"),
         "unknown field \"stlyes\""},
        {dialogWith(R"({"id": 1, "kind": "edit", "rect": [0, 0, 10, 10], "styles": ["bold"]})"),
         "unknown style \"bold\""},
        {dialogWith(R"({"id": 1, "kind": "edit", "rect": [0, 0, 10, 10]},
                       {"id": 1, "kind": "edit", "rect": [0, 20, 10, 10]})"),
         "control id 1 appears twice"},
        {dialogWith(R"({"id": 2, "kind": "updown", "rect": [0, 0, 10, 10], "buddy": 3})"),
         "buddy 3 is no edit"},
        {dialogWith(R"({"id": 2, "kind": "edit", "rect": [95, 0, 10, 10]})"),
         "lies outside the dialog"},
        {dialogWith(R"({"id": 2, "kind": "checkbox", "rect": [0, 0, 10, 10], "items": ["a"]})"),
         "only lists have items"},
        {dialogWith("", R"("styles": ["caption"], "size": [0, 5], )"), "\"size\" must be above 0"},
        {R"({"id": 7, "kind": "dialog", "size": [1, 1], "controls": []})",
         "font: \"points\" is missing"},
    };
    for (const Case& c : cases) {
        const Loaded<DialogTemplate> loaded = parseTemplate(c.json, "t.json");
        EXPECT_FALSE(loaded.ok()) << c.reason;
        EXPECT_TRUE(loaded.error.startsWith("t.json")) << qPrintable(loaded.error);
        EXPECT_TRUE(loaded.error.contains(QString::fromUtf8(c.reason)))
            << qPrintable(loaded.error) << " lacks " << c.reason;
    }
}

TEST(MalformedTemplates, AMissingTemplateAndAMenuOfTheWrongKindAreRefused) {
    EXPECT_TRUE(loadTemplate(9999).error.contains("not found"));
    EXPECT_TRUE(parseMenu(R"({"id": 1, "kind": "strings"})", "m").error.contains("\"menu\""));
    EXPECT_TRUE(
        parseMenu(R"({"id": 1, "kind": "menu", "softkeys": [{"text": "M", "popup": 0}]})", "m")
            .error.contains("opens no pop-up"));
}

}  // namespace
}  // namespace qm::ui
