// The bundled sample for contactscan: a short race named like a league replay
// (race 300, grid B) with a contact that costs a car time, a contact that
// does not, a lost wheel and rising engine damage.
#pragma once

#include "replay_builder.h"

namespace zr::test {

using namespace zr::writer;  // the tests describe their replays in the writer's terms

constexpr const char* kContactSampleName = "300rplyB";

ReplaySpec contactSampleRace();

}  // namespace zr::test
