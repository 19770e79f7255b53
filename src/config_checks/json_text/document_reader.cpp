#include "config_checks/json_text/document_reader.hpp"

#include <utility>
#include <vector>

namespace Bellwright::ConfigCheck {
namespace {

using nlohmann::json;

// Builds the document from the library's events, as the library's own parser does
// (an object member's later value replaces an earlier one of the same key), keeping
// the position of a failure instead of throwing. Containers past the depth limit are
// read on without being built, so a syntax error further on is still found: a broken
// file is what the plug-in's reader reports first.
class DocumentBuilder {
 public:
  DocumentBuilder(json& document, std::size_t max_depth, ReadResult& result)
      : document_(document), max_depth_(max_depth), result_(result) {}

  bool null() { return Add(nullptr); }
  bool boolean(bool value) { return Add(value); }
  bool number_integer(json::number_integer_t value) { return Add(value); }
  bool number_unsigned(json::number_unsigned_t value) { return Add(value); }
  bool number_float(json::number_float_t value, const json::string_t& /*text*/) {
    return Add(value);
  }
  bool string(json::string_t& value) { return Add(value); }
  bool binary(json::binary_t& value) { return Add(json::binary(value)); }
  bool key(json::string_t& name) {
    if (skipped_ == 0) {
      member_ = &open_.back()->get_ref<json::object_t&>()[name];
    }
    return true;
  }
  bool start_object(std::size_t /*size*/) { return Enter(json::value_t::object); }
  bool end_object() { return Leave(); }
  bool start_array(std::size_t /*size*/) { return Enter(json::value_t::array); }
  bool end_array() { return Leave(); }

  template <class Exception>
  bool parse_error(std::size_t position, const std::string& /*last_token*/,
                   const Exception& error) {
    // The library counts the failing character as read.
    result_.syntax_error = SyntaxError{position > 0 ? position - 1 : 0, error.what(), error.id};
    return false;
  }

 private:
  template <typename Value>
  bool Add(Value&& value) {
    if (skipped_ == 0) {
      Place(std::forward<Value>(value));
    }
    return true;
  }

  // Where the value went: the document itself, a new array element or the member
  // whose key came last.
  template <typename Value>
  json* Place(Value&& value) {
    if (open_.empty()) {
      document_ = json(std::forward<Value>(value));
      return &document_;
    }
    json& container = *open_.back();
    if (container.is_array()) {
      auto& elements = container.get_ref<json::array_t&>();
      elements.emplace_back(std::forward<Value>(value));
      return &elements.back();
    }
    *member_ = json(std::forward<Value>(value));
    return member_;
  }

  bool Enter(json::value_t type) {
    if (skipped_ > 0 || open_.size() >= max_depth_) {
      result_.too_deep = true;
      ++skipped_;
      return true;
    }
    open_.push_back(Place(type));
    return true;
  }

  bool Leave() {
    if (skipped_ > 0) {
      --skipped_;
    } else {
      open_.pop_back();
    }
    return true;
  }

  json& document_;
  std::size_t max_depth_;
  ReadResult& result_;
  std::vector<json*> open_;  // the containers still open, innermost last
  json* member_ = nullptr;
  std::size_t skipped_ = 0;  // containers open past the depth limit
};

}  // namespace

ReadResult ReadConfigDocument(std::string_view text, std::size_t max_depth) {
  ReadResult result;
  DocumentBuilder builder(result.document, max_depth, result);
  // Not strict: the reader stops after the first value, where the strict form would
  // refuse what follows it.
  const bool complete = json::sax_parse(text.data(), text.data() + text.size(), &builder,
                                        json::input_format_t::json, /*strict=*/false);
  if (!complete && !result.syntax_error) {
    result.syntax_error = SyntaxError{text.size(), "the text ends early", 101};
  }
  if (!complete || result.too_deep) {
    result.document = nullptr;
  }
  return result;
}

}  // namespace Bellwright::ConfigCheck
