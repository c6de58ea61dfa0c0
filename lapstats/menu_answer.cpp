#include "menu_answer.h"

#include <istream>
#include <ostream>

namespace zr {

int askMenuChoice(std::istream& in, std::ostream& out) {
    out << "Please choice a number!\n"
        << "After ENTER wait for shutting of the konsole!\n"
        << "It could be that searching for sector times need one minute.\n"
        << "After all you find the html in programm directory.\n"
        << std::flush;
    int choice = 0;
    if (!(in >> choice)) choice = 0;
    return choice;
}

}  // namespace zr
