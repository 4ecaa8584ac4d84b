// The configuration file the program writes when none exists (its default
// settings), as the tests of reading and writing it expect it byte for byte.
#pragma once

namespace orv::testing {

inline constexpr const char* kDefaultConfigFile =
    "3,0\t1;3/9,\t\t3,9\n"
    "2,\t2;1/2,\t\t1,1\n"
    "2,\t3;0/2,\t\t2,0\n"
    "2,\t4;1/2,\t\t1,1\n"
    "3,\t5;1~3,\t\t3,3\n"
    "2,0.000000,\t6;1~3,\t\t3,2\n"
    "1,\t7;0/1,\t\t1,1\n"
    "1,\t8;0/1,\t\t0,1\n"
    "20,\t9;20,\t\t30,1\n"
    "0,\t10;0~650,\t0,0\n"
    "1,\t11;0/1,\t\t1,1\n";

}  // namespace orv::testing
