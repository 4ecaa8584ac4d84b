// Built-in places. The first four rows are the places of the historical
// calendars (Seoul at 135E, the Ming/Qing observatory in Beijing, the Joseon
// palace in Hanyang and the middle meridian of Korea); the historical
// correction of the lunar calendar depends on their indices.
#include "data/places.h"

namespace orv::data {

const BuiltInPlace kBuiltInPlaces[] = {
    {135.0f, "대한민국-서울(135.0)", 126.9669, 37.5422, 0.0, "없음"},
    {116.432f, "명청-북경(관상대,116.432)", 116.4321, 39.9167, 0.0, "없음"},
    {126.976f, "조선-한양(경복궁,126.976)", 126.976, 37.5422, 0.0, "없음"},
    {127.5f, "대한민국-중간(127.5)", 127.5, 37.5422, 0.0, "없음"},
};
const int kBuiltInPlaceCount = static_cast<int>(sizeof kBuiltInPlaces / sizeof kBuiltInPlaces[0]);

}  // namespace orv::data
