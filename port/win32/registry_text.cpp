#include "registry_text.h"

#include <strings.h>

#include <cstdio>
#include <cstdlib>

static const char Header[] = "Windows Registry Editor Version 5.00";
static const char OldHeader[] = "REGEDIT4";

static bool SameName(const std::string& a, const std::string& b) { return strcasecmp(a.c_str(), b.c_str()) == 0; }

RegistryKey* FindRegistryKey(RegistryDocument* document, const std::string& path) {
  for (auto& key : document->keys)
    if (SameName(key.path, path)) return &key;
  return nullptr;
}

RegistryValue* FindRegistryValue(RegistryKey* key, const std::string& name) {
  for (auto& value : key->values)
    if (SameName(value.name, name)) return &value;
  return nullptr;
}

// Joins lines continued with a trailing backslash, drops carriage returns.
static std::vector<std::string> LogicalLines(const std::string& text) {
  std::vector<std::string> lines;
  std::string current;
  bool continuing = false;
  size_t start = 0;
  if (text.compare(0, 3, "\xEF\xBB\xBF") == 0) start = 3;
  for (size_t i = start; i <= text.size(); ++i) {
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
    continuing = !lines.back().empty() && lines.back().back() == '\\';
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

static bool ReadHexBytes(const std::string& text, std::vector<BYTE>* out) {
  size_t i = 0;
  while (i < text.size()) {
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
    if (i == text.size()) break;
    size_t end = text.find(',', i);
    std::string byte = text.substr(i, end == std::string::npos ? std::string::npos : end - i);
    while (!byte.empty() && (byte.back() == ' ' || byte.back() == '\t')) byte.pop_back();
    char* stop;
    unsigned long v = std::strtoul(byte.c_str(), &stop, 16);
    if (byte.empty() || byte.size() > 2 || *stop || v > 0xFF) return false;
    out->push_back((BYTE)v);
    if (end == std::string::npos) break;
    i = end + 1;
  }
  return true;
}

static bool ParseData(const std::string& text, RegistryValue* value) {
  if (!text.empty() && text[0] == '"') {
    std::string s;
    size_t pos = 0;
    if (!ReadQuoted(text, &pos, &s) || pos != text.size()) return false;
    value->type = REG_SZ;
    value->data.assign(s.begin(), s.end());
    value->data.push_back(0);
    return true;
  }
  if (text.compare(0, 6, "dword:") == 0) {
    std::string digits = text.substr(6);
    char* stop;
    unsigned long long v = std::strtoull(digits.c_str(), &stop, 16);
    if (digits.empty() || digits.size() > 8 || *stop) return false;
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
    char* stop;
    std::string number = text.substr(4, close - 4);
    unsigned long type = std::strtoul(number.c_str(), &stop, 16);
    if (number.empty() || *stop) return false;
    value->type = (DWORD)type;
    return ReadHexBytes(text.substr(close + 2), &value->data);
  }
  return false;
}

bool ParseRegistryText(const std::string& text, RegistryDocument* document) {
  std::vector<std::string> lines = LogicalLines(text);
  bool understood = true;
  size_t first = 0;
  while (first < lines.size() && lines[first].empty()) ++first;
  if (first == lines.size() || (lines[first] != Header && lines[first] != OldHeader)) understood = false;
  else ++first;

  RegistryKey* key = nullptr;
  for (size_t i = first; i < lines.size(); ++i) {
    const std::string& line = lines[i];
    if (line.empty() || line[0] == ';') continue;
    if (line[0] == '[') {
      if (line.back() != ']' || line.size() < 3 || line[1] == '-') {
        understood = false;
        key = nullptr;
        continue;
      }
      std::string path = line.substr(1, line.size() - 2);
      key = FindRegistryKey(document, path);
      if (!key) {
        document->keys.push_back({path, {}});
        key = &document->keys.back();
      }
      continue;
    }
    RegistryValue value;
    size_t pos = 0;
    if (line[0] == '@') {
      value.name = "@";
      pos = 1;
    } else if (!ReadQuoted(line, &pos, &value.name)) {
      understood = false;
      continue;
    }
    if (!key || pos >= line.size() || line[pos] != '=' || !ParseData(line.substr(pos + 1), &value)) {
      understood = false;
      continue;
    }
    if (RegistryValue* old = FindRegistryValue(key, value.name)) *old = value;
    else key->values.push_back(value);
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
  size_t column = out.size();
  for (size_t i = 0; i < data.size(); ++i) {
    char byte[4];
    std::snprintf(byte, sizeof byte, "%02x", data[i]);
    out += byte;
    column += 2;
    if (i + 1 < data.size()) {
      out += ',';
      ++column;
      if (column > 75) {
        out += "\\\n  ";
        column = 2;
      }
    }
  }
  return out;
}

static bool IsPlainString(const RegistryValue& value) {
  if (value.type != REG_SZ || value.data.empty() || value.data.back() != 0) return false;
  for (size_t i = 0; i + 1 < value.data.size(); ++i)
    if (value.data[i] < 0x20 || value.data[i] >= 0x7F) return false;
  return true;
}

static std::string FormatValue(const RegistryValue& value) {
  std::string name = value.name == "@" ? "@" : Quote(value.name);
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
  return FormatHex(name + prefix, value.data);
}

std::string FormatRegistryText(const RegistryDocument& document) {
  std::string out = std::string(Header) + "\n";
  for (const auto& key : document.keys) {
    out += "\n[" + key.path + "]\n";
    for (const auto& value : key.values) out += FormatValue(value) + "\n";
  }
  return out;
}
