#include "store/row_text.h"

#include "contacts/contact_columns.h"

namespace corvadex {

void AppendEscaped(std::string_view value, std::string& out) {
  std::size_t start = 0;
  for (std::size_t i = 0; i < value.size(); ++i) {
    char escaped;
    switch (value[i]) {
      case '\t': escaped = 't'; break;
      case '\n': escaped = 'n'; break;
      case '\r': escaped = 'r'; break;
      case '\\': escaped = '\\'; break;
      default: continue;
    }
    out.append(value, start, i - start);
    out.push_back('\\');
    out.push_back(escaped);
    start = i + 1;
  }
  out.append(value, start, std::string_view::npos);
}

void AppendRowLine(const ContactRow& row, std::string& out) {
  for (std::size_t i = 0; i < kContactColumns.size(); ++i) {
    if (i != 0) out.push_back('\t');
    AppendEscaped(row.Value(kContactColumns[i]), out);
  }
  out.push_back('\n');
}

}  // namespace corvadex
