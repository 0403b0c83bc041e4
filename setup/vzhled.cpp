// pouzijvzhled: Fusion with a graphite palette and a style sheet in font-relative units, so it reads at any scaling.
#include "setup/vzhled.h"

#include <QApplication>
#include <QFont>
#include <QPalette>
#include <QStyleFactory>

namespace dorvik::setup {
namespace {

constexpr const char* kStyleSheet = R"(
QTabWidget::pane { border: 1px solid #4a4d52; top: -1px; }
QTabBar::tab { background: #34373b; color: #d8d8d8; padding: 0.35em 0.9em; border: 1px solid #4a4d52;
               border-bottom: none; margin-right: 1px; }
QTabBar::tab:selected { background: #3f4246; color: #f1d27a; border-top: 2px solid #c9a227; }
QTabBar::tab:hover:!selected { background: #3a3d41; }
QGroupBox { border: 1px solid #55595e; border-radius: 3px; margin-top: 1.1em; padding-top: 0.4em; }
QGroupBox::title { subcontrol-origin: margin; left: 0.6em; padding: 0 0.3em; color: #f1d27a; }
QPushButton { background: #45484d; border: 1px solid #65696f; border-radius: 3px; padding: 0.25em 1em; }
QPushButton:hover { border-color: #c9a227; }
QPushButton:pressed { background: #383b3f; }
QPushButton:disabled { color: #85888c; border-color: #4a4d52; }
QHeaderView::section { background: #3a3d41; color: #e8e8e8; border: none; border-right: 1px solid #4a4d52;
                       border-bottom: 1px solid #4a4d52; padding: 0.2em 0.4em; }
QStatusBar QLabel#sb1 { color: #ff5a4f; font-weight: bold; font-size: 10pt; }
QLabel[notice="true"] { color: #f1d27a; padding: 0.6em; border: 1px dashed #7a6a2e; }
QLabel[small="true"] { color: #9ea2a7; font-size: 7pt; }
)";

}  // namespace

void pouzijvzhled(QApplication& app) {
  app.setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
  QPalette p;
  const QColor base(0x2b, 0x2d, 0x30), window(0x3f, 0x42, 0x46), text(0xe6, 0xe6, 0xe6), gold(0xc9, 0xa2, 0x27);
  p.setColor(QPalette::Window, window);
  p.setColor(QPalette::WindowText, text);
  p.setColor(QPalette::Base, base);
  p.setColor(QPalette::AlternateBase, QColor(0x33, 0x36, 0x39));
  p.setColor(QPalette::Text, text);
  p.setColor(QPalette::Button, QColor(0x45, 0x48, 0x4d));
  p.setColor(QPalette::ButtonText, text);
  p.setColor(QPalette::ToolTipBase, QColor(0x2b, 0x2d, 0x30));
  p.setColor(QPalette::ToolTipText, text);
  p.setColor(QPalette::PlaceholderText, QColor(0x8a, 0x8d, 0x91));
  p.setColor(QPalette::Highlight, gold);
  p.setColor(QPalette::HighlightedText, QColor(0x1e, 0x1e, 0x1e));
  p.setColor(QPalette::Link, gold);
  p.setColor(QPalette::Disabled, QPalette::Text, QColor(0x85, 0x88, 0x8c));
  p.setColor(QPalette::Disabled, QPalette::WindowText, QColor(0x85, 0x88, 0x8c));
  p.setColor(QPalette::Disabled, QPalette::ButtonText, QColor(0x85, 0x88, 0x8c));
  app.setPalette(p);
  QFont font(QStringLiteral("Segoe UI"), 9);
  font.setStyleHint(QFont::SansSerif);
  app.setFont(font);
  app.setStyleSheet(QString::fromLatin1(kStyleSheet));
}

}  // namespace dorvik::setup
