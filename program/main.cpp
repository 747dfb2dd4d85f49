#include "program/startlentaro.h"

int main(int argc, char** argv)
{
    return lentaro::startLentaro(argc, argv);
}
