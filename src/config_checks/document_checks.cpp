#include "config_checks/document_checks.hpp"

#include <fmt/format.h>

#include <string>
#include <vector>

#include "config_checks/json_text/findings.hpp"
#include "config_checks/json_text/json_pointer.hpp"
#include "config_checks/json_text/line_map.hpp"
#include "config_checks/json_text/syntax_cause.hpp"
#include "config_checks/report.hpp"

namespace Bellwright::ConfigCheck {
namespace {

using nlohmann::json;

void CheckTextAfterDocument(Findings& findings) {
  const std::string_view text = findings.Index().Text();
  for (std::size_t at = findings.Index().DocumentEnd(); at < text.size(); ++at) {
    if (!IsJsonBlank(text[at])) {
      findings.AtOffset(Severity::kWarning, "", at,
                        "text after the end of the document is never read");
      return;
    }
  }
}

void CheckDuplicateKeys(Findings& findings) {
  for (const DuplicateKey& duplicate : findings.Index().Duplicates()) {
    const std::vector<std::string> tokens = PointerTokens(duplicate.pointer);
    const LineColumn later = findings.Index().Locate(duplicate.later_key_offset);
    findings.AtOffset(Severity::kWarning, duplicate.pointer, duplicate.earlier_key_offset,
                      fmt::format("key {} is given again at line {}, column {}: only the later "
                                  "value is read",
                                  Quote(tokens.empty() ? std::string() : tokens.back()), later.line,
                                  later.column));
  }
}

}  // namespace

void CheckDocumentShape(const json& document, Findings& findings) {
  CheckTextAfterDocument(findings);
  CheckDuplicateKeys(findings);
  if (!document.is_object()) {
    findings.AtValue(Severity::kError, "",
                     fmt::format("the document is {}, not an object: the plug-in reads no setting "
                                 "from it, no custom command loads (bw.reload refuses the file), "
                                 "and the send commands without colour numbers fail",
                                 TypePhrase(document)));
  }
}

void CheckSyntaxError(const SyntaxError& error, Findings& findings) {
  const PositionIndex& index = findings.Index();
  const SyntaxCause cause = ExplainSyntaxError(index.Text(), error, index.Lines());
  findings.AtOffset(Severity::kError, "", cause.offset,
                    fmt::format("syntax error: {}; {}", cause.words, kUnreadableConsequence));
}

bool CheckDepth(Findings& findings) {
  const std::optional<std::size_t> too_deep = findings.Index().TooDeepOffset();
  if (too_deep) {
    findings.AtOffset(Severity::kError, "", *too_deep,
                      fmt::format("nested deeper than {} levels, which no setting is: the file "
                                  "was not checked",
                                  kMaxDepth));
  }
  return too_deep.has_value();
}

}  // namespace Bellwright::ConfigCheck
