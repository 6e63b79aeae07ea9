// Placeholder until the window is built.
#include <QApplication>
#include <QMessageBox>

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QMessageBox::information(nullptr, "Corvadex", "The Corvadex window is not built yet.");
  return 0;
}
