// The installed-option constraint pass in two forms that give the same flags:
//
// - applyInstalledConstraintsReference: the literal pass. For each feature
//   outside "InstallableOptions", each of its options, each installed option
//   in order: matchConstraint decides Excluded (flag 1), Related (flag 0) or
//   Unrelated (flag kept). Its cost is features x options x installed x
//   constraints.
// - applyInstalledConstraintsIndexed: the same result through an index of the
//   constraints by (installed feature, constrained feature). Its cost is about
//   linear in the size of the document.
//
// PpdDocument::applyInstalledConstraints uses the indexed pass and falls back
// to the reference pass when the index cannot be allocated.
#pragma once

#include "ppd/ppd_document.h"

void applyInstalledConstraintsReference(PpdDocument &document);

// Returns false, leaving every flag as it was, when the index could not be
// allocated; true when the pass ran.
bool applyInstalledConstraintsIndexed(PpdDocument &document);
