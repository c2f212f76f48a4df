// Consecutive draws that need the same GL state reach GL as one draw. A
// software renderer pays for every draw's set-up, and the page for every call
// into the browser, while a page of letters is a draw a letter; their positions
// are in clip space already (d3d_vertices.cpp), so a transform between them
// changes nothing GL holds. Their vertices are appended to one stream, and the
// stream goes to GL in one upload and one draw when a draw needs another state,
// and before anything that must see what was drawn or changes what a waiting
// draw reads: a clear, a present, a read-back, a texture's upload, lock or
// release, the end of a scene. Draws never change places, for the picture's
// layers are its order.
//
// Fans and strips become lists of their triangles, each with GL's own corner
// order, so the rasteriser is handed the very triangles it would have made of
// them. It may also take two triangles of a list that make a rectangle, at an
// even place, as one rectangle, which places some pixels a shade differently
// from two triangles; it did so with a four-corner fan of its own. So a
// quad's two triangles stay together at an even place, and any other triangle
// gets an empty partner: each is paired exactly as in a draw of its own. A
// draw that GL must clip goes alone, for the rasteriser takes a slower path
// with every primitive of a draw that has one to clip, and pairs none.
#include <vector>

#include "directx_internal.h"
#include "gl_api.h"

namespace {
struct Batch {
  GlDrawKey key;
  std::vector<StreamVertex> vertices;  // in the key's primitive, ready for GL
  std::vector<StreamVertex> sending;   // the stream being drawn, kept for its capacity
  uint32_t drawsMade = 0;
};
Batch batch;

bool SameKey(const GlDrawKey& a, const GlDrawKey& b) {
  for (int i = 0; i < 4; ++i)
    if (a.viewport[i] != b.viewport[i] || a.textureStates[i] != b.textureStates[i]) return false;
  return a.generation == b.generation && a.framebuffer == b.framebuffer && a.texture == b.texture &&
         a.program == b.program && a.blend == b.blend && a.blendSource == b.blendSource &&
         a.blendDestination == b.blendDestination && a.cull == b.cull && a.primitive == b.primitive;
}

void Append(const StreamVertex* vertices, DWORD a, DWORD b, DWORD c) {
  batch.vertices.push_back(vertices[a]);
  batch.vertices.push_back(vertices[b]);
  batch.vertices.push_back(vertices[c]);
}

// A triangle with an empty partner, so that the next pair begins at an even place.
void AppendAlone(const StreamVertex* vertices, DWORD a, DWORD b, DWORD c) {
  Append(vertices, a, b, c);
  Append(vertices, a, a, a);
}
}  // namespace

unsigned GlPrimitiveOf(D3DPRIMITIVETYPE type) {
  switch (type) {
    case D3DPT_POINTLIST:
      return GL_POINTS;
    case D3DPT_LINELIST:
    case D3DPT_LINESTRIP:
      return GL_LINES;
    default:
      return GL_TRIANGLES;
  }
}

void AppendToGlBatch(const GlDrawKey& key, D3DPRIMITIVETYPE type, const StreamVertex* vertices, DWORD count,
                     bool alone) {
  if (!batch.vertices.empty() && (alone || !SameKey(batch.key, key))) FlushGlDraws();
  batch.key = key;
  std::vector<StreamVertex>& out = batch.vertices;
  switch (type) {
    case D3DPT_TRIANGLEFAN:
      if (count == 4) {
        Append(vertices, 0, 1, 2);
        Append(vertices, 0, 2, 3);
        break;
      }
      for (DWORD i = 1; i + 1 < count; ++i) AppendAlone(vertices, 0, i, i + 1);
      break;
    case D3DPT_TRIANGLESTRIP:
      // Every other triangle turns round, keeping the strip's facing.
      for (DWORD i = 0; i + 2 < count; ++i) AppendAlone(vertices, i % 2 ? i + 1 : i, i % 2 ? i : i + 1, i + 2);
      break;
    case D3DPT_TRIANGLELIST:
      out.insert(out.end(), vertices, vertices + count / 3 * 3);
      if (count / 3 % 2) Append(vertices, 0, 0, 0);
      break;
    case D3DPT_LINESTRIP:
      for (DWORD i = 0; i + 1 < count; ++i) {
        out.push_back(vertices[i]);
        out.push_back(vertices[i + 1]);
      }
      break;
    default:
      // Lists; an unfinished last primitive draws nothing.
      DWORD corners = type == D3DPT_LINELIST ? 2 : 1;
      out.insert(out.end(), vertices, vertices + count / corners * corners);
  }
  if (alone) FlushGlDraws();
}

void FlushGlDraws() {
  if (batch.vertices.empty()) return;
  // Whatever GL does below (a texture uploaded late) finds nothing waiting.
  batch.sending.swap(batch.vertices);
  const std::vector<StreamVertex>& stream = batch.sending;
  // A batch of a context that has gone goes with it.
  if (batch.key.generation == GlTargetGeneration() && MakeGlTargetCurrent() && ApplyGlDrawKey(batch.key)) {
    glBufferData(GL_ARRAY_BUFFER, (GLsizeiptr)(stream.size() * sizeof(StreamVertex)), stream.data(), GL_STREAM_DRAW);
    glDrawArrays(batch.key.primitive, 0, (GLsizei)stream.size());
    // Desktop GL's own arrays (the 16-bit rounding's) take pointers into
    // memory only while no buffer is bound.
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    ++batch.drawsMade;
  }
  batch.sending.clear();
}

bool GlDrawsWaiting() { return !batch.vertices.empty(); }

uint32_t GlDrawsMade() { return batch.drawsMade; }
