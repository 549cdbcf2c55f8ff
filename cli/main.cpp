#include <CLI/CLI.hpp>

int main(int argc, char** argv) {
    CLI::App app{"payroll: Korean payroll calculation from the terminal"};
    CLI11_PARSE(app, argc, argv);
    return 0;
}
