// delvar-comm: the companion program of the Delvar deposition controller.
#include <QApplication>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    return 0;
}
