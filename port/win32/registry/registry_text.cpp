#include "registry.h"

#include "port_internal.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>

static const char Header[] = "Windows Registry Editor Version 5.00";
static const char OldHeader[] = "REGEDIT4";

static bool ReadQuoted(const std::string& text, size_t* pos, std::string* out);

// Only hex data goes on over a line end, as the registry editor reads it: a
// comment or a string that ends in a backslash ends with its line.
static bool ContinuesHex(const std::string& line) {
  if (line.empty() || line.back() != '\\') return false;
  size_t pos = line[0] == '@' ? 1 : 0;
  std::string name;
  if (pos == 0 && !ReadQuoted(line, &pos, &name)) return false;
  return line.compare(pos, 4, "=hex") == 0;
}

// Joins hex data continued with a trailing backslash, drops carriage returns.
static std::vector<std::string> LogicalLines(const std::string& text) {
  std::vector<std::string> lines;
  std::string current;
  bool continuing = false;
  for (size_t i = 0; i <= text.size(); ++i) {
    if (i < text.size() && text[i] != '\n') {
      if (text[i] != '\r') current += text[i];
      continue;
    }
    std::string line = current;
    current.clear();
    if (continuing) {
      size_t first = line.find_first_not_of(" \t");
      line = first == std::string::npos ? "" : line.substr(first);
      lines.back() += line;
    } else {
      lines.push_back(line);
    }
    continuing = ContinuesHex(lines.back());
    if (continuing) lines.back().pop_back();
  }
  return lines;
}

// A quoted string starting at text[pos]; leaves pos after the closing quote.
static bool ReadQuoted(const std::string& text, size_t* pos, std::string* out) {
  if (*pos >= text.size() || text[*pos] != '"') return false;
  for (size_t i = *pos + 1; i < text.size(); ++i) {
    if (text[i] == '\\' && i + 1 < text.size()) {
      out->push_back(text[++i]);
    } else if (text[i] == '"') {
      *pos = i + 1;
      return true;
    } else {
      out->push_back(text[i]);
    }
  }
  return false;
}

static bool AllHex(const std::string& digits) {
  for (char c : digits)
    if (!std::isxdigit((unsigned char)c)) return false;
  return !digits.empty();
}

static bool ReadHexBytes(const std::string& text, std::vector<BYTE>* out) {
  size_t i = 0;
  while (i < text.size()) {
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
    if (i == text.size()) break;
    size_t end = text.find(',', i);
    std::string byte = text.substr(i, end == std::string::npos ? std::string::npos : end - i);
    while (!byte.empty() && (byte.back() == ' ' || byte.back() == '\t')) byte.pop_back();
    if (byte.size() > 2 || !AllHex(byte)) return false;
    out->push_back((BYTE)std::strtoul(byte.c_str(), nullptr, 16));
    if (end == std::string::npos) break;
    i = end + 1;
  }
  return true;
}

// Text types the registry editor writes in hex as UTF-16LE under its 5.00
// header, and as 8-bit text under the older one.
static bool IsTextType(DWORD type) { return type == REG_SZ || type == REG_EXPAND_SZ || type == REG_MULTI_SZ; }

// The 8-bit form of UTF-16LE text where every unit fits; else the value keeps
// its UTF-16LE bytes, so nothing is lost on the way back.
static void NarrowText(RegistryValue* value) {
  std::vector<BYTE> narrow;
  bool fits = value->data.size() % 2 == 0;
  for (size_t i = 0; fits && i < value->data.size(); i += 2) {
    fits = value->data[i + 1] == 0;
    narrow.push_back(value->data[i]);
  }
  if (fits) value->data = narrow;
  value->wide = !fits;
}

static void AppendUtf16(std::string* out, unsigned c) {
  if (c >= 0x10000) {
    AppendUtf16(out, 0xD800 + ((c - 0x10000) >> 10));
    c = 0xDC00 + (c & 0x3FF);
  }
  *out += {(char)(c & 0xFF), (char)(c >> 8)};
}

// A quoted string's characters, terminated, in the program's 8-bit code page
// where every one fits, else as UTF-16LE: text keeps its characters whatever
// encoding it arrived in.
static void SetText(RegistryValue* value, const std::string& utf8) {
  std::string narrow, wide;
  for (size_t i = 0; i < utf8.size();) {
    unsigned c = PortNextCodePoint(utf8, &i);
    narrow += (char)c;
    AppendUtf16(&wide, c);
    value->wide = value->wide || c > 0xFF;
  }
  const std::string& text = value->wide ? wide.append(2, '\0') : narrow.append(1, '\0');
  value->data.assign(text.begin(), text.end());
}

static bool ParseData(const std::string& text, RegistryValue* value, bool wideText) {
  if (!text.empty() && text[0] == '"') {
    std::string s;
    size_t pos = 0;
    if (!ReadQuoted(text, &pos, &s) || pos != text.size()) return false;
    value->type = REG_SZ;
    SetText(value, s);
    return true;
  }
  if (text.compare(0, 6, "dword:") == 0) {
    std::string digits = text.substr(6);
    if (digits.size() > 8 || !AllHex(digits)) return false;
    unsigned long v = std::strtoul(digits.c_str(), nullptr, 16);
    value->type = REG_DWORD;
    value->data = {(BYTE)v, (BYTE)(v >> 8), (BYTE)(v >> 16), (BYTE)(v >> 24)};
    return true;
  }
  if (text.compare(0, 4, "hex:") == 0) {
    value->type = REG_BINARY;
    return ReadHexBytes(text.substr(4), &value->data);
  }
  if (text.compare(0, 4, "hex(") == 0) {
    size_t close = text.find("):");
    if (close == std::string::npos) return false;
    std::string number = text.substr(4, close - 4);
    if (number.size() > 8 || !AllHex(number)) return false;
    value->type = (DWORD)std::strtoul(number.c_str(), nullptr, 16);
    if (!ReadHexBytes(text.substr(close + 2), &value->data)) return false;
    if (wideText && IsTextType(value->type)) NarrowText(value);
    return true;
  }
  return false;
}

// The text as UTF-8, whichever form it came in: the registry editor's UTF-16LE
// after a byte-order mark, UTF-8 after one, or else the 8-bit form, whose
// bytes are the program's code page (Latin-1).
static std::string Decoded(const std::string& text, bool* understood) {
  if (text.compare(0, 2, "\xFF\xFE") != 0) {
    if (text.compare(0, 3, "\xEF\xBB\xBF") != 0) return PortUtf8(text);
    std::string out;
    for (size_t i = 3; i < text.size();) AppendUtf8(&out, PortNextCodePoint(text, &i, understood));
    return out;
  }
  std::string out;
  auto unit = [&](size_t i) { return (unsigned)(unsigned char)text[i] | (unsigned)(unsigned char)text[i + 1] << 8; };
  if (text.size() % 2) *understood = false;
  for (size_t i = 2; i + 1 < text.size(); i += 2) {
    unsigned c = unit(i);
    if (c >= 0xD800 && c < 0xDC00 && i + 3 < text.size() && unit(i + 2) >= 0xDC00 && unit(i + 2) < 0xE000) {
      c = 0x10000 + ((c - 0xD800) << 10) + (unit(i + 2) - 0xDC00);
      i += 2;
    } else if (c >= 0xD800 && c < 0xE000) {
      *understood = false;
      continue;
    }
    AppendUtf8(&out, c);
  }
  return out;
}

bool ParseRegistryText(const std::string& raw, RegistryDocument* document) {
  bool understood = true;
  std::string text = Decoded(raw, &understood);
  // An empty file is an empty registry, not a damaged one.
  if (text.empty()) return understood;
  std::vector<std::string> lines = LogicalLines(text);
  size_t first = 0;
  while (first < lines.size() && lines[first].empty()) ++first;
  if (first == lines.size() || (lines[first] != Header && lines[first] != OldHeader))
    understood = false;
  else
    ++first;
  bool wideText = first == 0 || lines[first - 1] != OldHeader;

  const size_t NoKey = (size_t)-1;
  size_t key = NoKey;
  for (size_t i = first; i < lines.size(); ++i) {
    const std::string& line = lines[i];
    if (line.empty() || line[0] == ';') continue;
    if (line[0] == '[') {
      key = NoKey;
      bool deletion = line.size() > 1 && line[1] == '-';
      size_t from = deletion ? 2 : 1;
      if (line.back() != ']' || line.size() < from + 2) {
        understood = false;
      } else if (deletion) {
        DeleteRegistryKey(document, line.substr(2, line.size() - 3));
      } else {
        key = (size_t)(AddRegistryKey(document, line.substr(1, line.size() - 2)) - document->keys.data());
      }
      continue;
    }
    RegistryValue value;
    size_t pos = 0;
    if (line[0] == '@') {
      pos = 1;
    } else if (!ReadQuoted(line, &pos, &value.name)) {
      understood = false;
      continue;
    }
    if (key == NoKey || pos >= line.size() || line[pos] != '=') {
      understood = false;
      continue;
    }
    std::string data = line.substr(pos + 1);
    if (data == "-")
      DeleteRegistryValue(&document->keys[key], value.name);
    else if (ParseData(data, &value, wideText))
      SetRegistryValue(&document->keys[key], value);
    else
      understood = false;
  }
  return understood;
}

static std::string Quote(const std::string& s) {
  std::string out = "\"";
  for (char c : s) {
    if (c == '"' || c == '\\') out += '\\';
    out += c;
  }
  return out + "\"";
}

// Hex data wrapped the way the registry editor wraps it, below 80 columns.
static std::string FormatHex(const std::string& prefix, const std::vector<BYTE>& data) {
  std::string out = prefix;
  out.reserve(prefix.size() + data.size() * 4);
  size_t column = out.size();
  for (size_t i = 0; i < data.size(); ++i) {
    out += {"0123456789abcdef"[data[i] >> 4], "0123456789abcdef"[data[i] & 15]};
    column += 2;
    if (i + 1 < data.size()) {
      out += ',';
      ++column;
      if (column > 75) {
        out += "\\\r\n  ";
        column = 2;
      }
    }
  }
  return out;
}

// 8-bit text of printable ASCII; UTF-16LE bytes (even a broken odd count) stay hex.
static bool IsPlainString(const RegistryValue& value) {
  if (value.type != REG_SZ || value.wide || value.data.empty() || value.data.back() != 0) return false;
  for (size_t i = 0; i + 1 < value.data.size(); ++i)
    if (value.data[i] < 0x20 || value.data[i] >= 0x7F) return false;
  return true;
}

static std::string FormatValue(const RegistryValue& value) {
  std::string name = value.name.empty() ? "@" : Quote(value.name);
  if (value.type == REG_DWORD && value.data.size() == 4) {
    char digits[16];
    DWORD v = value.data[0] | value.data[1] << 8 | value.data[2] << 16 | (DWORD)value.data[3] << 24;
    std::snprintf(digits, sizeof digits, "%08x", v);
    return name + "=dword:" + digits;
  }
  if (IsPlainString(value)) return name + "=" + Quote(std::string(value.data.begin(), value.data.end() - 1));
  if (value.type == REG_BINARY) return FormatHex(name + "=hex:", value.data);
  char prefix[32];
  std::snprintf(prefix, sizeof prefix, "=hex(%x):", value.type);
  if (!IsTextType(value.type) || value.wide) return FormatHex(name + prefix, value.data);
  std::vector<BYTE> wide;
  for (BYTE b : value.data) wide.insert(wide.end(), {b, 0});
  return FormatHex(name + prefix, wide);
}

// The 8-bit form where every character of the names fits the program's code
// page; else UTF-16LE after a byte-order mark, as the registry editor writes.
static std::string Encoded(const std::string& utf8) {
  if (std::all_of(utf8.begin(), utf8.end(), [](char c) { return (unsigned char)c < 0x80; })) return utf8;
  std::string narrow;
  for (size_t i = 0; i < utf8.size();) {
    unsigned c = PortNextCodePoint(utf8, &i);
    if (c > 0xFF) {
      std::string wide = "\xFF\xFE";
      for (i = 0; i < utf8.size();) AppendUtf16(&wide, PortNextCodePoint(utf8, &i));
      return wide;
    }
    narrow += (char)c;
  }
  return narrow;
}

std::string FormatRegistryText(const RegistryDocument& document) {
  std::string out = std::string(Header) + "\r\n";
  for (const auto& key : document.keys) {
    out += "\r\n[" + key.path + "]\r\n";
    for (const auto& value : key.values) out.append(FormatValue(value)).append("\r\n");
  }
  return Encoded(out);
}
