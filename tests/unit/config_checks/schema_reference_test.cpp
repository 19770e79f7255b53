// The schema is the list of keys editors and the reference follow: the reference, the
// section readers and the embedded copy must all stay in step with it.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <map>
#include <nlohmann/json.hpp>
#include <optional>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "config/config_text.hpp"
#include "config_checks/json_text/json_pointer.hpp"
#include "config_checks/schema.hpp"
#include "config_checks/schema_text.hpp"

namespace Bellwright::ConfigCheck {
namespace {

std::string ReadSourceFile(const std::string& relative) {
  std::ifstream file(std::string(BELLWRIGHT_SOURCE_DIR) + "/" + relative);
  std::ostringstream text;
  text << file.rdbuf();
  return text.str();
}

using KeyList = std::set<std::pair<std::string, std::string>>;  // (title, key)

KeyList SchemaKeys() {
  KeyList keys;
  for (const ObjectKind& kind : ConfigSchema::Get().ObjectKinds()) {
    for (const std::string& key : kind.keys) {
      keys.emplace(kind.title, key);
    }
  }
  return keys;
}

// The reference, section by section: each object is described under a heading that
// is its title ("### The Bellwright section"), by a table with rows "| `Key` | ..."
// and by JSON examples in ```json blocks.
struct ReferenceSection {
  std::vector<std::string> rows;
  std::vector<std::string> examples;
};

std::map<std::string, ReferenceSection> ReferenceSections(const std::string& reference) {
  const std::regex heading("^#+ (.*)$");
  std::map<std::string, ReferenceSection> sections;
  std::string title;
  std::optional<std::string> example;  // inside a ```json block
  bool in_other_block = false;
  std::istringstream lines(reference);
  for (std::string line; std::getline(lines, line);) {
    std::smatch match;
    if (example) {
      if (line == "```") {
        sections[title].examples.push_back(*std::exchange(example, std::nullopt));
      } else {
        *example += line + "\n";
      }
    } else if (in_other_block) {
      in_other_block = line != "```";
    } else if (line == "```json") {
      example.emplace();
    } else if (line.starts_with("```")) {
      in_other_block = true;
    } else if (std::regex_match(line, match, heading)) {
      title = match[1];
      if (!title.empty()) {
        title[0] = static_cast<char>(std::tolower(static_cast<unsigned char>(title[0])));
      }
    } else {
      sections[title].rows.push_back(line);
    }
  }
  return sections;
}

KeyList ReferenceKeys(const std::string& reference) {
  std::set<std::string> titles;
  for (const ObjectKind& kind : ConfigSchema::Get().ObjectKinds()) {
    titles.insert(kind.title);
  }
  const std::regex row("^\\| `([^`]+)` \\|");
  KeyList keys;
  for (const auto& [title, section] : ReferenceSections(reference)) {
    for (const std::string& line : section.rows) {
      std::smatch match;
      if (titles.contains(title) && std::regex_search(line, match, row)) {
        keys.emplace(title, match[1]);
      }
    }
  }
  return keys;
}

TEST(Schema, TheEmbeddedTextIsTheSchemaFile) {
  EXPECT_EQ(SchemaText(), ReadSourceFile("schema/config.schema.json"));
  EXPECT_FALSE(ConfigSchema::Get().ObjectKinds().empty());
}

TEST(Schema, TheReferenceDocumentsEveryKeyAndNoOther) {
  const KeyList documented = ReferenceKeys(ReadSourceFile("docs/configuration.md"));
  const KeyList schema = SchemaKeys();
  for (const auto& key : schema) {
    EXPECT_TRUE(documented.contains(key))
        << "not in docs/configuration.md: " << key.first << " / " << key.second;
  }
  for (const auto& key : documented) {
    EXPECT_TRUE(schema.contains(key)) << "not in the schema: " << key.first << " / " << key.second;
  }
}

// A newcomer copies these: each is a whole file that the checks pass without a finding.
TEST(Schema, TheReferenceShowsEveryObjectInACleanExample) {
  const auto sections = ReferenceSections(ReadSourceFile("docs/configuration.md"));
  for (const ObjectKind& kind : ConfigSchema::Get().ObjectKinds()) {
    const auto found = sections.find(kind.title);
    EXPECT_TRUE(found != sections.end() && !found->second.examples.empty())
        << "no JSON example in docs/configuration.md: " << kind.title;
  }
  for (const auto& [title, section] : sections) {
    for (const std::string& example : section.examples) {
      for (const Finding& finding : ReadConfigText(example).report.findings) {
        ADD_FAILURE() << "the example of " << title << ": "
                      << FormatFinding("configuration.md", finding);
      }
    }
  }
}

// A document in which the plug-in reads the value at `pattern` (each "*" one member or
// element), holding `value` there: the storage in use and on MySQL, the custom command
// with a message.
std::pair<nlohmann::json, std::string> DocumentWith(const std::string& pattern,
                                                    const nlohmann::json& value) {
  nlohmann::json document = {{"TimedMessages", {{"OptOutCommand", "/ads"}}},
                             {"Bellwright", {{"Storage", {{"Type", "MySQL"}}}}}};
  std::string pointer;
  for (const std::string& token : PointerTokens(pattern)) {
    const nlohmann::json* container = ConfigSchema::Get().SubschemaAt(pointer);
    const bool array = container != nullptr && container->value("type", "") == "array";
    pointer = ChildPointer(pointer, token != "*" ? token : array ? "0" : "/x");
  }
  if (pattern.starts_with("/CustomCommands/*/") && !pattern.ends_with("/*/Message")) {
    document["CustomCommands"]["/x"]["Message"] = "m";
  }
  document[nlohmann::json::json_pointer(pointer)] = value;
  return {document, pointer};
}

bool HasFindingAt(const nlohmann::json& document, const std::string& pointer) {
  return std::ranges::any_of(
      ReadConfigText(document.dump()).report.findings,
      [&pointer](const Finding& finding) { return finding.pointer == pointer; });
}

// Each key the schema describes has a reader that judges its type: a value of a type
// the schema does not allow has a finding.
TEST(Schema, EveryValueOfTheWrongTypeHasAFinding) {
  for (const std::string& pattern : ConfigSchema::Get().ValuePatterns()) {
    if (pattern == "/$schema") {
      continue;  // never read, so never wrong
    }
    const std::string pointer = std::regex_replace(pattern, std::regex("\\*"), "x");
    const nlohmann::json& subschema = *ConfigSchema::Get().SubschemaAt(pointer);
    const nlohmann::json wrong =
        subschema.value("type", "") == "string" ? nlohmann::json(5) : nlohmann::json("x");
    const auto [document, at] = DocumentWith(pattern, wrong);
    EXPECT_TRUE(HasFindingAt(document, at)) << pattern;
  }
}

// The readers take the values the schema lists and judge every other string.
TEST(Schema, EveryEnumerationIsTheReadersOwn) {
  for (const std::string& pattern : ConfigSchema::Get().ValuePatterns()) {
    const std::string pointer = std::regex_replace(pattern, std::regex("\\*"), "x");
    const nlohmann::json& subschema = *ConfigSchema::Get().SubschemaAt(pointer);
    if (!subschema.contains("enum")) {
      continue;
    }
    for (const nlohmann::json& allowed : subschema.at("enum")) {
      const auto [document, at] = DocumentWith(pattern, allowed);
      EXPECT_FALSE(HasFindingAt(document, at)) << pattern << " " << allowed;
    }
    const auto [document, at] = DocumentWith(pattern, "Nonsense");
    EXPECT_TRUE(HasFindingAt(document, at)) << pattern;
  }
}

bool IsRequired(const std::string& pointer) {
  const nlohmann::json* parent = ConfigSchema::Get().SubschemaAt(ParentPointer(pointer));
  const std::vector<std::string> tokens = PointerTokens(pointer);
  const auto required = parent->find("required");
  return required != parent->end() &&
         std::ranges::find(*required, nlohmann::json(tokens.back())) != required->end();
}

TEST(Schema, EveryKeyHasADescriptionAndEveryValueADefault) {
  const nlohmann::json& document = ConfigSchema::Get().Document();
  for (const std::string& pattern : ConfigSchema::Get().ValuePatterns()) {
    const std::string pointer = std::regex_replace(pattern, std::regex("\\*"), "x");
    const nlohmann::json* subschema = ConfigSchema::Get().SubschemaAt(pointer);
    ASSERT_NE(subschema, nullptr) << pattern;
    if (pattern.ends_with("/*")) {
      continue;  // a member or element, not a key
    }
    // A command without a colour has none: its reply is black. A key its object
    // requires has no default: the object is skipped without it.
    if (pattern != "/$schema" && !pattern.ends_with("/MessageColor") && !IsRequired(pointer)) {
      EXPECT_TRUE(subschema->contains("default")) << pattern;
    }
    EXPECT_TRUE(subschema->contains("description")) << pattern;
  }
  EXPECT_EQ(document.at("$schema"), "http://json-schema.org/draft-07/schema#");
}

}  // namespace
}  // namespace Bellwright::ConfigCheck
