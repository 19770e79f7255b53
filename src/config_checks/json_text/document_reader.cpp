#include "config_checks/json_text/document_reader.hpp"

#include <utility>
#include <vector>

namespace Bellwright::ConfigCheck {
namespace {

using nlohmann::json;

// Keeps where and why the reader refused the text; false stops the reader.
bool RecordSyntaxError(ReadResult& result, std::size_t position, const json::exception& error) {
  // The library counts the failing character as read.
  result.syntax_error = SyntaxError{position > 0 ? position - 1 : 0, error.what(), error.id};
  return false;
}

// Builds the document from the library's events, as the library's own parser does
// (an object member's later value replaces an earlier one of the same key), stopped
// at a depth limit and keeping the position of a failure instead of throwing.
class DocumentBuilder {
 public:
  DocumentBuilder(json& document, std::size_t max_depth, ReadResult& result)
      : document_(document), max_depth_(max_depth), result_(result) {}

  bool null() { return Add(nullptr) != nullptr; }
  bool boolean(bool value) { return Add(value) != nullptr; }
  bool number_integer(json::number_integer_t value) { return Add(value) != nullptr; }
  bool number_unsigned(json::number_unsigned_t value) { return Add(value) != nullptr; }
  bool number_float(json::number_float_t value, const json::string_t& /*text*/) {
    return Add(value) != nullptr;
  }
  bool string(json::string_t& value) { return Add(value) != nullptr; }
  bool binary(json::binary_t& value) { return Add(json::binary(value)) != nullptr; }
  bool key(json::string_t& name) {
    member_ = &open_.back()->get_ref<json::object_t&>()[name];
    return true;
  }
  bool start_object(std::size_t /*size*/) { return Enter(json::value_t::object); }
  bool end_object() { return Leave(); }
  bool start_array(std::size_t /*size*/) { return Enter(json::value_t::array); }
  bool end_array() { return Leave(); }

  template <class Exception>
  bool parse_error(std::size_t position, const std::string& /*last_token*/,
                   const Exception& error) {
    return RecordSyntaxError(result_, position, error);
  }

 private:
  // Where the value went: the document itself, a new array element or the member
  // whose key came last.
  template <typename Value>
  json* Add(Value&& value) {
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
    if (open_.size() >= max_depth_) {
      result_.too_deep = true;
      return false;
    }
    open_.push_back(Add(type));
    return true;
  }

  bool Leave() {
    open_.pop_back();
    return true;
  }

  json& document_;
  std::size_t max_depth_;
  ReadResult& result_;
  std::vector<json*> open_;  // the containers still open, innermost last
  json* member_ = nullptr;
};

// Reads without building anything: whether, and where, the reader refuses the text.
class SyntaxOnly {
 public:
  explicit SyntaxOnly(ReadResult& result) : result_(result) {}

  bool null() { return true; }
  bool boolean(bool /*value*/) { return true; }
  bool number_integer(json::number_integer_t /*value*/) { return true; }
  bool number_unsigned(json::number_unsigned_t /*value*/) { return true; }
  bool number_float(json::number_float_t /*value*/, const json::string_t& /*text*/) { return true; }
  bool string(json::string_t& /*value*/) { return true; }
  bool binary(json::binary_t& /*value*/) { return true; }
  bool key(json::string_t& /*value*/) { return true; }
  bool start_object(std::size_t /*size*/) { return true; }
  bool end_object() { return true; }
  bool start_array(std::size_t /*size*/) { return true; }
  bool end_array() { return true; }

  template <class Exception>
  bool parse_error(std::size_t position, const std::string& /*last_token*/,
                   const Exception& error) {
    return RecordSyntaxError(result_, position, error);
  }

 private:
  ReadResult& result_;
};

}  // namespace

ReadResult ReadConfigDocument(std::string_view text, std::size_t max_depth) {
  ReadResult result;
  DocumentBuilder builder(result.document, max_depth, result);
  // Not strict: the reader stops after the first value, where the strict form would
  // refuse what follows it.
  const bool complete = json::sax_parse(text.data(), text.data() + text.size(), &builder,
                                        json::input_format_t::json, /*strict=*/false);
  if (!complete && !result.syntax_error && !result.too_deep) {
    result.syntax_error = SyntaxError{text.size(), "the text ends early", 101};
  }
  if (result.too_deep) {
    // Whatever lies deeper may still be broken, and a broken file is what the
    // plug-in's reader reports first.
    SyntaxOnly syntax(result);
    json::sax_parse(text.data(), text.data() + text.size(), &syntax, json::input_format_t::json,
                    /*strict=*/false);
  }
  if (!complete) {
    result.document = nullptr;
  }
  return result;
}

}  // namespace Bellwright::ConfigCheck
