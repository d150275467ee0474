// Quantities of selected objects, the group lines that stand for them during
// nesting, and the copying of a group line's members to a nested place.
#pragma once

#include <cstdint>
#include <vector>

#include "engine/geometry.h"
#include "plugin/host_types.h"

struct MemberList;

// The per-object quantity tag: its name and type.
constexpr char kQuantityTagName[] = "zolvane_quantity";
constexpr char kQuantityTagType[] = "string";
// The layer that holds the group lines of a run.
constexpr char kGroupLineLayerTitle[] = "<<Zolvane Group>>";
// The name of a group line: object id and quantity of its first piece.
constexpr char kGroupLineNameFormat[] = "<Group Line>ID:%d QTY:%d";
// Groups of this name inside an outline conversion are not validated.
constexpr char kUncheckedGroupName[] = "***";
// Widths of the piece outline: attempt k draws k times this (0.1 mm), up to
// kPieceOutlineAttempts attempts.
constexpr double kPieceOutlineStep = 0.2834645669291339;
constexpr int kPieceOutlineAttempts = 5;
// Width of the bridges that join separate pieces to the centre (points).
constexpr double kBridgeWidth = 1.0;
// SelectionQuantity when nothing is selected, and when quantities differ.
constexpr int32_t kNoSelection = -2;
constexpr int32_t kMixedQuantities = -1;

// --- the layer walk ----------------------------------------------------------

// Every layer of the current document in index order.
std::vector<LayerHandle> DocumentLayers();
// Whether the layer is both visible and editable.
bool LayerUsable(LayerHandle layer);
// The top-level art of a layer, topmost first.
std::vector<ArtHandle> TopLevelArtOf(LayerHandle layer);
// Whether the art carries the selected attribute.
bool ArtSelected(ArtHandle art);
// The clipping path or compound path of a clipped group: depth-first in
// child order, nested clipped groups not entered; null when there is none.
ArtHandle FindClippingArt(ArtHandle group);

// --- quantities --------------------------------------------------------------

// The text of a quantity tag as the C library's base-10 conversion reads it
// (leading blanks and a sign allowed, stops at the first non-digit, no digits
// give 0), with values beyond 32 bits read as the nearest 32-bit value.
int32_t ParseQuantityText(const char* text);
// The object's quantity: 0 when not set (no tag, unreadable or empty).
int32_t ReadQuantity(ArtHandle art);
// The same for a run, which must not take a tag it could not read for a
// missing one: false when the host failed for another reason than the
// tag's absence (out of memory, a bad handle), *quantity then 0.
bool ReadQuantityOf(ArtHandle art, int32_t* quantity);
// A quantity below 1 removes the tag; otherwise it is set to the "%d" text.
// Returns the host's error (removing a tag that is not there is no error).
HostErr WriteQuantity(ArtHandle art, int32_t quantity);
// The common quantity of the selected top-level art of every layer (usable
// or not): kNoSelection, kMixedQuantities, or the quantity (0: not set).
int32_t SelectionQuantity();
// The value of the panel's quantity box: exactly "-" is kMixedQuantities
// (change nothing), empty or negative is 0 (remove the tags), otherwise the
// decimal value.
int32_t QuantityFromBox(const char* text);
// Writes the value to every selected top-level art of every layer;
// kMixedQuantities changes nothing.
void ApplySelectionQuantity(int32_t value);

// --- group lines -------------------------------------------------------------

// Where BuildGroupLines spends its time (seconds), for the benchmarks:
// collecting pieces, the pair pass, piece outlines with their outline
// conversions, unions and releases, and bridges.
struct GroupLineTimes {
  double collect = 0;
  double pairs = 0;
  double outlines = 0;
  double unions = 0;
  double bridges = 0;
};

// Draws one group line per selected object of the usable layers (with merge,
// one per cluster of objects whose outlines cross) on the layer
// "<<Zolvane Group>>", made at the bottom of the layer list when missing.
// Draws nothing and makes no layer when no piece was found. Leaves the
// document's selection changed (the unions select what they unite).
// `times`, when given, accumulates the phases. Returns kNoErr, or the
// host's error when it could not read a quantity or make, name or tag a
// group line (out of memory): the lines drawn are then incomplete. An
// effect that fails on one piece's outline is not an error: the piece is
// outlined another way.
HostErr BuildGroupLines(int16_t merge, GroupLineTimes* times = nullptr);

// Deletes the layer "<<Zolvane Group>>" when there is one. Group lines must
// not stay in the user's document, so a look-up or deletion that the host
// refuses for want of memory is tried again (three tries in all).
void DeleteGroupLineLayer();

// The object id in a group line's name; 0 when the art is not named so.
int32_t GroupLineObjectId(ArtHandle group_line);

// Duplicates every member of the group line `group_index`, last member first,
// on top inside the member's own parent, moves the copy by the matrix and
// removes the copy's quantity tag. Every copy made is appended to *made
// (when given), so that a caller can take them all back; returns the
// host's first error, after which the copies are incomplete.
HostErr PlaceGroupCopies(const MemberList& list, int32_t group_index, const RealMatrix& matrix,
                         std::vector<ArtHandle>* made = nullptr);
