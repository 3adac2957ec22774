#include "base/host.h"

#include <fmt/format.h>

namespace tessara {

std::string_view MessageCaption(MessageKind kind) {
    switch (kind) {
        case MessageKind::Error: return "Ошибка";
        case MessageKind::Information: return "Информация";
        case MessageKind::Warning: return "Предупреждение";
        case MessageKind::Attention: return "Внимание!";
    }
    return {};
}

std::string DeleteRowsQuestion(int n) {
    if (n == 1) return "Удалить выделенную запись?";
    return fmt::format(
        "Удалить все выделенные записи (всего будет удалено {} записи(ей))?", n);
}

}  // namespace tessara
