// ravlin: the ccTalk commands of the Ravlin library from a shell. See
// `ravlin --help`.
#include <iostream>

#include "Run.h"

int main(int argc, char **argv)
{
    return ravlin::runRavlin(std::vector<std::string>(argv + 1, argv + argc), std::cout, std::cerr);
}
