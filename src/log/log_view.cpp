#include "log/log_view.h"

// Placeholder until the real view lands: keeps the bytes, draws nothing.

namespace quorvel {

struct LogView::Impl {
  std::string text;
};

LogView::LogView(QWidget* parent) : QAbstractScrollArea(parent), impl_(std::make_unique<Impl>()) {}
LogView::~LogView() = default;

void LogView::LogSetStyle(const TextStyle&) {}
void LogView::LogAppend(std::string_view gbk) { impl_->text.append(gbk); }
void LogView::LogAppend(std::string_view gbk, const TextStyle& style) {
  LogSetStyle(style);
  LogAppend(gbk);
}
void LogView::LogScrollToEnd() {}
std::string LogView::SelectedText() const { return {}; }
std::string LogView::WholeText() const { return impl_->text; }
void LogView::SetWholeText(std::string_view gbk) { impl_->text.assign(gbk); }

}  // namespace quorvel
