// How well a hand suits each contract: a rough expected hand score before
// doubles, from the hand alone. The robot chooses the remaining kind whose
// estimate stands furthest above that kind's mean over random hands, and
// doubles when its own estimate is well above the mean.
#pragma once

#include "robot/holding.h"

namespace zelbo {

// Chance-like weight (0..1) that the card of rank r in suit s of hand h
// ends up winning a trick when its holder tries to avoid tricks.
double TrickRisk(const Holding& h, int s, int r);

// Expected points of hand h in contract `code` (1..22).
double EstimateHand(const Holding& h, int code);

// The code of `kind` (KindTrumps..KindZelbo) that suits h best, with its
// estimate in *estimate.
int BestCodeOfKind(const Holding& h, int kind, double* estimate);

// Mean over random hands of the estimate of the best code of `kind`.
double KindBaseline(int kind);

// Mean over random hands of the estimate of one fixed code (a player who
// did not choose the contract faces the code as it is).
double CodeBaseline(int code);

}  // namespace zelbo
