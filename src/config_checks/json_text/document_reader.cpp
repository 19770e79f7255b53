#include "config_checks/json_text/document_reader.hpp"

namespace Bellwright::ConfigCheck {
namespace {

using nlohmann::json;

// Keeps where and why the reader refused the text; false stops the reader.
bool RecordSyntaxError(ReadResult& result, std::size_t position, const json::exception& error) {
  // The library counts the failing character as read.
  result.syntax_error = SyntaxError{position > 0 ? position - 1 : 0, error.what(), error.id};
  return false;
}

// The library's own document builder, stopped at a depth limit and keeping the
// position of a failure instead of throwing.
class DepthLimitedBuilder {
 public:
  DepthLimitedBuilder(json& document, std::size_t max_depth, ReadResult& result)
      : builder_(document, false), max_depth_(max_depth), result_(result) {}

  bool null() { return builder_.null(); }
  bool boolean(bool value) { return builder_.boolean(value); }
  bool number_integer(json::number_integer_t value) { return builder_.number_integer(value); }
  bool number_unsigned(json::number_unsigned_t value) { return builder_.number_unsigned(value); }
  bool number_float(json::number_float_t value, const json::string_t& text) {
    return builder_.number_float(value, text);
  }
  bool string(json::string_t& value) { return builder_.string(value); }
  bool binary(json::binary_t& value) { return builder_.binary(value); }
  bool key(json::string_t& value) { return builder_.key(value); }
  bool start_object(std::size_t size) { return Enter() && builder_.start_object(size); }
  bool end_object() {
    --depth_;
    return builder_.end_object();
  }
  bool start_array(std::size_t size) { return Enter() && builder_.start_array(size); }
  bool end_array() {
    --depth_;
    return builder_.end_array();
  }

  template <class Exception>
  bool parse_error(std::size_t position, const std::string& /*last_token*/,
                   const Exception& error) {
    return RecordSyntaxError(result_, position, error);
  }

 private:
  bool Enter() {
    if (++depth_ > max_depth_) {
      result_.too_deep = true;
      return false;
    }
    return true;
  }

  nlohmann::detail::json_sax_dom_parser<json> builder_;
  std::size_t max_depth_;
  std::size_t depth_ = 0;
  ReadResult& result_;
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
  DepthLimitedBuilder builder(result.document, max_depth, result);
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
