#pragma once
// Value types the standard controls share.

enum TAlignment { taLeftJustify, taRightJustify, taCenter };
// Where a check box's or radio button's text stands next to its box.
using TLeftRight = TAlignment;
enum TTextLayout { tlTop, tlCenter, tlBottom };
enum TBevelCut { bvNone, bvLowered, bvRaised, bvSpace };
