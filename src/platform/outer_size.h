#pragma once

// The program's windows are laid out by their outer size, frame included.
// Qt sizes the client area, and where the window system draws a frame its
// size is known only once the window is up; this keeps the outer size right.

#include <QSize>

class QWidget;

namespace quorvel {

class OuterSize {
 public:
  enum class Border { kResizable, kFixed };

  OuterSize(QSize outer, Border border) : outer_(outer), border_(border) {}

  // Gives a window that is not shown yet the outer size as its client size
  // and centres it on its screen.
  void Apply(QWidget* window) const;

  // Call from the window's show, move and resize events. Once a frame is
  // known, shrinks the client area by it, one time, and centres the window
  // again (a maximised or full-screen window is left as it is).
  void AdoptFrame(QWidget* window);

 private:
  void Centre(QWidget* window) const;

  QSize outer_;
  Border border_;
  bool adopted_ = false;
};

}  // namespace quorvel
