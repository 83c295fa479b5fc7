// Documents parsed by gumbo.
#include "host/posix/gumbo_html.h"

#include <gumbo.h>

#include <cstddef>
#include <cstdlib>
#include <map>
#include <memory>
#include <string>
#include <unordered_set>
#include <vector>

#include "base/html_tokenizer.h"
#include "base/text.h"
#include "host/posix/gumbo_serializer.h"

namespace tp::host::posix {
namespace {

// Gumbo's memory for one parse, given back all at once. gumbo_destroy_output would free the
// tree by recursion, one stack frame per level of nesting, which a deeply nested document
// turns into a stack overflow. Messages are parsed one after the other on the same thread, so
// the blocks of a parse (up to kSpareBlocks of them) are kept for the next one: taking fresh
// memory from the system and giving it back costs more than a parse's own allocations.
class Arena {
 public:
  Arena() = default;
  ~Arena() {
    std::vector<Block>& spare = SpareBlocks();
    for (Block& block : m_blocks) {
      if (spare.size() >= kSpareBlocks)
        break;
      spare.push_back(std::move(block));
    }
  }
  Arena(const Arena&) = delete;
  Arena& operator=(const Arena&) = delete;

  static void* Allocate(void* arena, size_t size) { return static_cast<Arena*>(arena)->Take(size); }
  static void Deallocate(void*, void*) {}

 private:
  static constexpr size_t kBlockSize = 1 << 20;
  static constexpr size_t kAlignment = alignof(std::max_align_t);

  void* Take(size_t size) {
    size = (size + kAlignment - 1) & ~(kAlignment - 1);
    if (size > kBlockSize / 4) {
      m_large.push_back(NewBlock(size));
      return m_large.back().get();
    }
    if (m_blocks.empty() || m_used + size > kBlockSize) {
      std::vector<Block>& spare = SpareBlocks();
      if (spare.empty()) {
        m_blocks.push_back(NewBlock(kBlockSize));
      } else {
        m_blocks.push_back(std::move(spare.back()));
        spare.pop_back();
      }
      m_used = 0;
    }
    void* taken = m_blocks.back().get() + m_used;
    m_used += size;
    return taken;
  }

  struct Free {
    void operator()(char* block) const { std::free(block); }
  };
  using Block = std::unique_ptr<char, Free>;
  static Block NewBlock(size_t size) {
    Block block(static_cast<char*>(std::malloc(size)));
    if (!block)
      std::abort();  // as gumbo itself does without memory
    return block;
  }

  static constexpr size_t kSpareBlocks = 16;
  static std::vector<Block>& SpareBlocks() {
    thread_local std::vector<Block> spare;
    return spare;
  }

  std::vector<Block> m_blocks;  // filled one after the other
  std::vector<Block> m_large;   // one allocation each
  size_t m_used = 0;            // of the last block
};

// MSHTML (documents before Internet Explorer 9, which the add-in's pages are) gives an
// element whose name it does not know no content: what follows its start tag is its
// sibling. Gumbo, as the HTML standard, nests everything after an unclosed unknown tag in
// it, which differs from the page the add-in shows and makes parsing slow (the parser's
// scope checks walk the stack of open elements, so many unclosed "<xinput>" or "<xmeta>"
// that the neutralising leaves make it quadratic). So every unknown element without a
// namespace prefix is closed right after its start tag, before gumbo parses the text.
// The text as gumbo reads it, in UTF-8.
std::string CloseUnknownElements(const std::wstring& html) {
  HtmlTokenizer tokenizer(html);
  HtmlToken token;
  std::string closed;
  closed.reserve(html.size() + html.size() / 16);
  size_t copied = 0;
  while (tokenizer.Next(&token)) {
    if (token.kind != HtmlTokenKind::kStartTag || token.name.find(L':') != std::wstring::npos)
      continue;
    const std::string name = WideToUtf8(token.name);
    if (gumbo_tagn_enum(name.data(), static_cast<unsigned>(name.size())) != GUMBO_TAG_UNKNOWN)
      continue;
    const size_t end = tokenizer.position();
    AppendUtf8(&closed, std::wstring_view(html).substr(copied, end - copied));
    closed += "</" + name + ">";
    copied = end;
  }
  AppendUtf8(&closed, std::wstring_view(html).substr(copied));
  return closed;
}

GumboTag TagOf(HtmlCollection collection) {
  switch (collection) {
    case HtmlCollection::kScripts:
      return GUMBO_TAG_SCRIPT;
    case HtmlCollection::kEmbeds:
    case HtmlCollection::kPlugins:
      return GUMBO_TAG_EMBED;
    case HtmlCollection::kForms:
      return GUMBO_TAG_FORM;
    case HtmlCollection::kApplets:
      return GUMBO_TAG_APPLET;
  }
  return GUMBO_TAG_UNKNOWN;
}

class GumboHtmlDocument final : public HtmlDocument {
 public:
  HResult Write(const std::wstring& html) override {
    m_text = CloseUnknownElements(html);
    m_removed.reset();
    GumboOptions options = kGumboDefaultOptions;
    options.allocator = &Arena::Allocate;
    options.deallocator = &Arena::Deallocate;
    options.userdata = &m_arena;
    // Each recorded parse error copies the stack of open elements: with errors recorded,
    // memory grows with the square of the nesting depth.
    options.max_errors = 0;
    m_output = gumbo_parse_with_options(&options, m_text.data(), m_text.size());
    return m_output ? hr::kOk : hr::kOutOfMemory;
  }

  void RemoveAll(HtmlCollection collection) override {
    // The elements go when the body is written.
    m_removed.set(TagOf(collection));
  }

  std::optional<std::wstring> BodyOuterHtml() override {
    if (!m_output || m_output->root == nullptr)
      return std::nullopt;
    const GumboVector& children = m_output->root->v.element.children;
    for (size_t i = 0; i < children.length; ++i) {
      const auto* child = static_cast<const GumboNode*>(children.data[i]);
      if (child->type == GUMBO_NODE_ELEMENT && child->v.element.tag == GUMBO_TAG_BODY)
        return SerializeOuterHtml(*child, m_removed, m_text.size() + m_text.size() / 8);
    }
    return std::nullopt;
  }

  std::wstring EmptyElementMarkup(std::wstring_view name) override {
    return Utf8ToWide(SerializeEmptyElement(WideToUtf8(name)));
  }

 private:
  std::string m_text;  // gumbo's tree points into it
  Arena m_arena;
  GumboOutput* m_output = nullptr;  // in m_arena
  RemovedTags m_removed;
};

}  // namespace

std::unique_ptr<HtmlDocument> GumboHtmlEngine::CreateDocument() {
  return std::make_unique<GumboHtmlDocument>();
}

}  // namespace tp::host::posix
