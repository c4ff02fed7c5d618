// What the TMX and TMJ readers share once a value is read: checks of the
// map's header and a tileset's geometry, properties from their text, colours,
// and the flattening of group layers.
#pragma once

#include <string>

#include "maps/map.h"

namespace maps {
[[noreturn]] void fail(const std::string& message);

// Refuses what is not an orthogonal, finite map of sane size.
void checkHeader(const Map& map, const std::string& orientation, bool infinite);
// Refuses one more tile layer when the map's tile layers would hold more than
// MAX_MAP_CELLS cells together.
void checkCellBudget(const Map& map);
// Fills columns and tile count from the image when the file left them out,
// and refuses a geometry out of bounds.
void finishTileset(Tileset& tileset);
// A property from Tiled's text of its value.
Property makeProperty(const std::string& name, const std::string& type, const std::string& value);
// "#AARRGGBB" or "#RRGGBB" into RGBA floats; false when it is neither.
bool parseColor(const std::string& text, float rgba[4]);
// Refuses an object made from a template (a non-empty template path).
void refuseTemplate(const std::string& templatePath);

// What enclosing groups give a layer: offsets add, opacity and tint multiply,
// visibility ands.
struct GroupState {
  double offsetX = 0, offsetY = 0;
  float opacity = 1;
  float tint[4] = {1, 1, 1, 1};
  bool visible = true;
};
// The group's own values applied to the state of the groups around it.
GroupState enter(const GroupState& outer, const Layer& group);
// The layer's own values combined with its groups'.
void applyGroups(Layer& layer, const GroupState& groups);
}  // namespace maps
