// The registry's keys and values in memory, found by name through hashed indexes
// so that a file of a hundred thousand values is still read in one pass.
#include "registry.h"

namespace {
// The registry folds only the ASCII letters, like strcasecmp in the C locale.
std::string Folded(const std::string& name) {
  std::string folded = name;
  for (char& c : folded)
    if (c >= 'A' && c <= 'Z') c = (char)(c - 'A' + 'a');
  return folded;
}

template <typename Entry, typename NameOf>
void Reindex(const std::vector<Entry>& entries, std::unordered_map<std::string, size_t>* index, NameOf nameOf) {
  index->clear();
  for (size_t i = 0; i < entries.size(); ++i) (*index)[Folded(nameOf(entries[i]))] = i;
}

bool IsBelow(const std::string& path, const std::string& folded) {
  std::string candidate = Folded(path);
  return candidate == folded || (candidate.size() > folded.size() && candidate.compare(0, folded.size(), folded) == 0 &&
                                 candidate[folded.size()] == '\\');
}
}  // namespace

RegistryKey* FindRegistryKey(RegistryDocument* document, const std::string& path) {
  auto found = document->index.find(Folded(path));
  return found == document->index.end() ? nullptr : &document->keys[found->second];
}

RegistryValue* FindRegistryValue(RegistryKey* key, const std::string& name) {
  auto found = key->index.find(Folded(name));
  return found == key->index.end() ? nullptr : &key->values[found->second];
}

RegistryKey* AddRegistryKey(RegistryDocument* document, const std::string& path) {
  if (RegistryKey* key = FindRegistryKey(document, path)) return key;
  document->index[Folded(path)] = document->keys.size();
  document->keys.push_back({path, {}, {}});
  return &document->keys.back();
}

void SetRegistryValue(RegistryKey* key, const RegistryValue& value) {
  if (RegistryValue* old = FindRegistryValue(key, value.name)) {
    // The new value's text form goes with it: bytes kept as UTF-16LE under an
    // 8-bit text's flag would be written as what they are not.
    old->type = value.type;
    old->data = value.data;
    old->wide = value.wide;
    return;
  }
  key->index[Folded(value.name)] = key->values.size();
  key->values.push_back(value);
}

void DeleteRegistryKey(RegistryDocument* document, const std::string& path) {
  std::string folded = Folded(path);
  auto& keys = document->keys;
  size_t kept = 0;
  for (size_t i = 0; i < keys.size(); ++i)
    if (!IsBelow(keys[i].path, folded)) {
      if (kept != i) keys[kept] = std::move(keys[i]);
      ++kept;
    }
  if (kept == keys.size()) return;
  keys.resize(kept);
  Reindex(keys, &document->index, [](const RegistryKey& k) -> const std::string& { return k.path; });
}

void DeleteRegistryValue(RegistryKey* key, const std::string& name) {
  auto found = key->index.find(Folded(name));
  if (found == key->index.end()) return;
  key->values.erase(key->values.begin() + (std::ptrdiff_t)found->second);
  Reindex(key->values, &key->index, [](const RegistryValue& v) -> const std::string& { return v.name; });
}
