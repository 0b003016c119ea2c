#pragma once

#include <QString>

// The workbooks of the tests, made by make_test_workbooks.py (see there what
// each shows) once per test process in a temporary folder that lives as long
// as the process; the large ones only when asked for. Throws
// std::runtime_error when the script fails.
QString TestWorkbook(const QString& name);
