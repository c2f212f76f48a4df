#include "dls_reader.h"

namespace {

struct Node {
  std::string id;     // "RIFF", "LIST" or a chunk id
  std::string type;   // form or list type
  size_t header = 0;  // offset of the chunk header
  size_t data = 0;    // offset of the data (after a list's type)
  size_t size = 0;    // bytes of data (after a list's type)
  std::vector<Node> children;
};

const std::vector<uint8_t> *source;

uint16_t U16(size_t at) { return uint16_t((*source)[at] | (*source)[at + 1] << 8); }
uint32_t U32(size_t at) { return uint32_t(U16(at)) | uint32_t(U16(at + 2)) << 16; }
std::string FourCC(size_t at) { return std::string(source->begin() + long(at), source->begin() + long(at) + 4); }

bool ParseChunks(size_t at, size_t end, std::vector<Node> &nodes, std::string &error) {
  while (at < end) {
    if (at + 8 > end) return error = "chunk header runs past its parent", false;
    Node node;
    node.id = FourCC(at);
    node.header = at;
    size_t size = U32(at + 4);
    if (at + 8 + size > end) return error = "chunk '" + node.id + "' runs past its parent", false;
    if (node.id == "RIFF" || node.id == "LIST") {
      if (size < 4) return error = "list without a type", false;
      node.type = FourCC(at + 8);
      node.data = at + 12;
      node.size = size - 4;
      if (!ParseChunks(node.data, node.data + node.size, node.children, error)) return false;
    } else {
      node.data = at + 8;
      node.size = size;
    }
    nodes.push_back(node);
    at += 8 + size + (size & 1);
  }
  if (at != end) return error = "padding byte outside its parent", false;
  return true;
}

const Node *Find(const Node &parent, const std::string &id, const std::string &type = "") {
  for (const Node &child : parent.children)
    if (child.id == id && child.type == type) return &child;
  return nullptr;
}

bool ReadName(const Node &parent, std::string &name) {
  const Node *info = Find(parent, "LIST", "INFO");
  const Node *inam = info ? Find(*info, "INAM") : nullptr;
  if (!inam) return false;
  name.assign(source->begin() + long(inam->data), source->begin() + long(inam->data + inam->size));
  while (!name.empty() && name.back() == '\0') name.pop_back();
  return true;
}

bool ReadSampleInfo(const Node &wsmp, DlsSampleInfo &info, std::string &error) {
  if (wsmp.size < 20) return error = "wsmp shorter than its header", false;
  uint32_t header = U32(wsmp.data);
  if (header < 20) return error = "wsmp cbSize below 20", false;
  info.present = true;
  info.unityNote = U16(wsmp.data + 4);
  info.fineTune = int16_t(U16(wsmp.data + 6));
  info.attenuation = int32_t(U32(wsmp.data + 8));
  info.loopCount = U32(wsmp.data + 16);
  if (wsmp.size != header + 16 * info.loopCount) return error = "wsmp size differs from its loops", false;
  if (info.loopCount > 0) {
    size_t loop = wsmp.data + header;
    if (U32(loop) != 16) return error = "loop cbSize is not 16", false;
    info.loopType = U32(loop + 4);
    info.loopStart = U32(loop + 8);
    info.loopLength = U32(loop + 12);
  }
  return true;
}

bool ReadRegion(const Node &rgn, DlsRegionInfo &region, std::string &error) {
  const Node *rgnh = Find(rgn, "rgnh");
  const Node *wlnk = Find(rgn, "wlnk");
  if (!rgnh || !wlnk) return error = "region without rgnh or wlnk", false;
  if (rgnh->size != 12 && rgnh->size != 14) return error = "rgnh is not 12 bytes", false;
  if (wlnk->size != 12) return error = "wlnk is not 12 bytes", false;
  region.keyLow = U16(rgnh->data);
  region.keyHigh = U16(rgnh->data + 2);
  region.velocityLow = U16(rgnh->data + 4);
  region.velocityHigh = U16(rgnh->data + 6);
  region.options = U16(rgnh->data + 8);
  region.keyGroup = U16(rgnh->data + 10);
  region.channel = U32(wlnk->data + 4);
  region.poolIndex = U32(wlnk->data + 8);
  region.ownArticulation = Find(rgn, "LIST", "lart") != nullptr;
  if (const Node *wsmp = Find(rgn, "wsmp"))
    if (!ReadSampleInfo(*wsmp, region.sample, error)) return false;
  return true;
}

bool ReadArticulation(const Node &lart, DlsInstrumentInfo &instrument, std::string &error) {
  for (const Node &art : lart.children) {
    if (art.id != "art1") continue;
    instrument.articulationChunks++;
    if (art.size < 8 || U32(art.data) != 8) return error = "art1 header is not 8 bytes", false;
    uint32_t count = U32(art.data + 4);
    if (art.size != 8 + 12 * count) return error = "art1 size differs from its blocks", false;
    for (uint32_t i = 0; i < count; i++) {
      size_t at = art.data + 8 + 12 * i;
      instrument.articulation.push_back({U16(at), U16(at + 2), U16(at + 4), U16(at + 6), int32_t(U32(at + 8))});
    }
  }
  return true;
}

bool ReadInstrument(const Node &ins, DlsInstrumentInfo &instrument, std::string &error) {
  const Node *insh = Find(ins, "insh");
  const Node *lrgn = Find(ins, "LIST", "lrgn");
  if (!insh || insh->size != 12) return error = "instrument without a 12-byte insh", false;
  if (!lrgn) return error = "instrument without lrgn", false;
  instrument.regionCount = U32(insh->data);
  instrument.bank = U32(insh->data + 4);
  instrument.program = U32(insh->data + 8);
  ReadName(ins, instrument.name);
  for (const Node &rgn : lrgn->children) {
    if (rgn.id != "LIST" || rgn.type != "rgn ") return error = "lrgn holds something besides regions", false;
    DlsRegionInfo region{};
    if (!ReadRegion(rgn, region, error)) return false;
    instrument.regions.push_back(region);
  }
  if (const Node *lart = Find(ins, "LIST", "lart"))
    if (!ReadArticulation(*lart, instrument, error)) return false;
  return true;
}

bool ReadWave(const Node &wave, size_t poolData, DlsWaveInfo &info, std::string &error) {
  const Node *fmt = Find(wave, "fmt ");
  const Node *data = Find(wave, "data");
  if (!fmt || fmt->size < 16 || !data) return error = "wave without fmt or data", false;
  info.poolOffset = uint32_t(wave.header - poolData);
  info.formatTag = U16(fmt->data);
  info.channels = U16(fmt->data + 2);
  info.sampleRate = U32(fmt->data + 4);
  info.blockAlign = U16(fmt->data + 12);
  info.bitsPerSample = U16(fmt->data + 14);
  if (const Node *wsmp = Find(wave, "wsmp"))
    if (!ReadSampleInfo(*wsmp, info.sample, error)) return false;
  if (info.bitsPerSample == 16)
    for (size_t at = data->data; at + 1 < data->data + data->size; at += 2) info.samples.push_back(int16_t(U16(at)));
  return true;
}

}  // namespace

bool ReadDlsCollection(const std::vector<uint8_t> &bytes, DlsCollectionInfo &collection, std::string &error) {
  source = &bytes;
  collection = DlsCollectionInfo{};
  std::vector<Node> top;
  if (!ParseChunks(0, bytes.size(), top, error)) return false;
  if (top.size() != 1 || top[0].id != "RIFF" || top[0].type != "DLS ") return error = "not one RIFF 'DLS ' form", false;
  const Node &form = top[0];

  const Node *colh = Find(form, "colh");
  const Node *lins = Find(form, "LIST", "lins");
  const Node *ptbl = Find(form, "ptbl");
  const Node *wvpl = Find(form, "LIST", "wvpl");
  if (!colh || colh->size != 4 || !lins || !ptbl || !wvpl) return error = "missing colh, lins, ptbl or wvpl", false;
  collection.declaredInstruments = U32(colh->data);

  for (const Node &ins : lins->children) {
    if (ins.id != "LIST" || ins.type != "ins ") return error = "lins holds something besides instruments", false;
    DlsInstrumentInfo instrument;
    if (!ReadInstrument(ins, instrument, error)) return false;
    collection.instruments.push_back(instrument);
  }

  if (ptbl->size < 8 || U32(ptbl->data) != 8) return error = "ptbl header is not 8 bytes", false;
  uint32_t cues = U32(ptbl->data + 4);
  if (ptbl->size != 8 + 4 * cues) return error = "ptbl size differs from its cues", false;
  for (uint32_t i = 0; i < cues; i++) collection.poolTable.push_back(U32(ptbl->data + 8 + 4 * i));

  for (const Node &wave : wvpl->children) {
    if (wave.id != "LIST" || wave.type != "wave") return error = "wvpl holds something besides waves", false;
    DlsWaveInfo info;
    if (!ReadWave(wave, wvpl->data, info, error)) return false;
    collection.waves.push_back(info);
  }
  return true;
}
