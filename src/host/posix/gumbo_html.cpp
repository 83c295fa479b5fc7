// Documents parsed by gumbo.
#include "host/posix/gumbo_html.h"

#include <gumbo.h>

#include <cstddef>
#include <cstdlib>
#include <memory>
#include <string>
#include <unordered_set>
#include <vector>

#include "host/posix/gumbo_serializer.h"
#include "support/text.h"

namespace tp::host::posix {
namespace {

// Gumbo's memory for one parse, given back all at once. gumbo_destroy_output would free the
// tree by recursion, one stack frame per level of nesting, which a deeply nested document
// turns into a stack overflow.
class Arena {
 public:
  Arena() = default;
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
      large_.push_back(NewBlock(size));
      return large_.back().get();
    }
    if (blocks_.empty() || used_ + size > kBlockSize) {
      blocks_.push_back(NewBlock(kBlockSize));
      used_ = 0;
    }
    void* taken = blocks_.back().get() + used_;
    used_ += size;
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

  std::vector<Block> blocks_;  // filled one after the other
  std::vector<Block> large_;   // one allocation each
  size_t used_ = 0;            // of the last block
};

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
    text_ = WideToUtf8(html);
    removed_.clear();
    GumboOptions options = kGumboDefaultOptions;
    options.allocator = &Arena::Allocate;
    options.deallocator = &Arena::Deallocate;
    options.userdata = &arena_;
    // Each recorded parse error copies the stack of open elements: with errors recorded,
    // memory grows with the square of the nesting depth.
    options.max_errors = 0;
    output_ = gumbo_parse_with_options(&options, text_.data(), text_.size());
    return output_ ? hr::kOk : hr::kOutOfMemory;
  }

  void RemoveAll(HtmlCollection collection) override {
    if (!output_)
      return;
    const GumboTag tag = TagOf(collection);
    // Every node, in document order, without recursion.
    std::vector<const GumboNode*> pending{output_->document};
    while (!pending.empty()) {
      const GumboNode* node = pending.back();
      pending.pop_back();
      const GumboVector* children = nullptr;
      if (node->type == GUMBO_NODE_DOCUMENT) {
        children = &node->v.document.children;
      } else if (node->type == GUMBO_NODE_ELEMENT || node->type == GUMBO_NODE_TEMPLATE) {
        if (node->v.element.tag == tag) {
          removed_.insert(node);
          continue;
        }
        children = &node->v.element.children;
      }
      if (children == nullptr)
        continue;
      for (size_t i = children->length; i > 0; --i)
        pending.push_back(static_cast<const GumboNode*>(children->data[i - 1]));
    }
  }

  std::optional<std::wstring> BodyOuterHtml() override {
    if (!output_ || output_->root == nullptr)
      return std::nullopt;
    const GumboVector& children = output_->root->v.element.children;
    for (size_t i = 0; i < children.length; ++i) {
      const auto* child = static_cast<const GumboNode*>(children.data[i]);
      if (child->type == GUMBO_NODE_ELEMENT && child->v.element.tag == GUMBO_TAG_BODY)
        return SerializeOuterHtml(*child, removed_);
    }
    return std::nullopt;
  }

  std::wstring EmptyElementMarkup(std::wstring_view name) override {
    return Utf8ToWide(SerializeEmptyElement(WideToUtf8(name)));
  }

 private:
  std::string text_;  // gumbo's tree points into it
  Arena arena_;
  GumboOutput* output_ = nullptr;  // in arena_
  std::unordered_set<const GumboNode*> removed_;
};

}  // namespace

std::unique_ptr<HtmlDocument> GumboHtmlEngine::CreateDocument() {
  return std::make_unique<GumboHtmlDocument>();
}

}  // namespace tp::host::posix
