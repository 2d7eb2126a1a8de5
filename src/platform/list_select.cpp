#include "platform/list_select.h"

#include <QComboBox>

namespace quorvel {

void SelectClamped(QComboBox* list, int index) {
  if (index >= list->count()) index = list->count() - 1;
  if (index < -1) index = -1;
  list->setCurrentIndex(index);
}

}  // namespace quorvel
