#include "core/shared_text.h"

#include <memory>
#include <new>

namespace mendlet {

SharedText::SharedText(std::wstring_view text) {
    // The characters start right after the block.
    static_assert(sizeof(Block) % alignof(wchar_t) == 0);
    if (text.empty()) return;
    void* memory = ::operator new(sizeof(Block) + text.size() * sizeof(wchar_t));
    block_ = new (memory) Block{1, text.size()};
    std::uninitialized_copy(text.begin(), text.end(), reinterpret_cast<wchar_t*>(block_ + 1));
}

SharedText::SharedText(const SharedText& other) noexcept : block_(other.block_) {
    if (block_ != nullptr) block_->holders.fetch_add(1, std::memory_order_relaxed);
}

SharedText& SharedText::operator=(SharedText other) noexcept {
    std::swap(block_, other.block_);
    return *this;
}

SharedText::~SharedText() {
    if (block_ == nullptr || block_->holders.fetch_sub(1, std::memory_order_acq_rel) != 1) return;
    block_->~Block();
    ::operator delete(block_);
}

SharedText::operator std::wstring_view() const noexcept {
    if (block_ == nullptr) return {};
    return {reinterpret_cast<const wchar_t*>(block_ + 1), block_->length};
}

}  // namespace mendlet
