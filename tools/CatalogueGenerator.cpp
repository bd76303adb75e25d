#include "tools/CatalogueGenerator.h"

#include <QStringList>
#include <cmath>

namespace {

struct Place
{
    const char16_t *name;
    int province;   // first digits of the national serial number
};

const Place places[] = {
    {u"北京", 11}, {u"天津", 12}, {u"石家庄", 13}, {u"太原", 14}, {u"呼和浩特", 15},
    {u"沈阳", 21}, {u"长春", 22}, {u"哈尔滨", 23}, {u"上海", 31}, {u"南京", 32},
    {u"杭州", 33}, {u"合肥", 34}, {u"福州", 35}, {u"南昌", 36}, {u"济南", 37},
    {u"郑州", 41}, {u"武汉", 42}, {u"长沙", 43}, {u"广州", 44}, {u"南宁", 45},
    {u"海口", 46}, {u"重庆", 50}, {u"成都", 51}, {u"贵阳", 52}, {u"昆明", 53},
    {u"拉萨", 54}, {u"西安", 61}, {u"兰州", 62}, {u"西宁", 63}, {u"银川", 64},
    {u"乌鲁木齐", 65},
};
const char16_t *const foreignPlaces[] = {u"香港", u"澳门", u"台北", u"美国", u"英国",
                                         u"日本", u"德国", u"法国", u"新加坡", u"加拿大"};

struct Subject
{
    const char16_t *word;
    const char16_t *category;
};
const Subject subjects[] = {
    {u"时事", u"时事政治"},   {u"法治", u"法律"},       {u"经济", u"经济管理"},
    {u"金融", u"经济管理"},   {u"证券", u"经济管理"},   {u"企业", u"经济管理"},
    {u"科技", u"科学技术"},   {u"电脑", u"科学技术"},   {u"电子", u"科学技术"},
    {u"汽车", u"科学技术"},   {u"科普", u"科学技术"},   {u"教育", u"文化教育"},
    {u"语文", u"文化教育"},   {u"英语", u"文化教育"},   {u"文学", u"文学艺术"},
    {u"诗歌", u"文学艺术"},   {u"美术", u"文学艺术"},   {u"书法", u"文学艺术"},
    {u"音乐", u"文学艺术"},   {u"电影", u"文学艺术"},   {u"摄影", u"文学艺术"},
    {u"健康", u"医药卫生"},   {u"中医", u"医药卫生"},   {u"医学", u"医药卫生"},
    {u"体育", u"体育"},       {u"足球", u"体育"},       {u"棋牌", u"体育"},
    {u"旅游", u"生活休闲"},   {u"家庭", u"生活休闲"},   {u"美食", u"生活休闲"},
    {u"园艺", u"生活休闲"},   {u"农业", u"农业"},       {u"农村", u"农业"},
    {u"少年", u"少儿读物"},   {u"童话", u"少儿读物"},   {u"军事", u"军事"},
};
const char16_t *const prefixes[] = {u"中国", u"现代", u"当代", u"大众", u"青年", u"城市",
                                    u"新",   u"全国", u"华夏", u"东方", u"南方", u"北方"};
const char16_t *const foreignPrefixes[] = {u"亚洲", u"国际", u"环球", u"世界", u"香港",
                                           u"台湾", u"美洲", u"欧洲"};

struct Frequency
{
    const char16_t *name;
    double issuesPerMonth;
    const char16_t *publishDate;
    const char16_t *suffix;   // a title ending that suits the frequency
    bool newspaper;
};
const Frequency frequencies[] = {
    {u"日报", 30, u"每日出版", u"报", true},
    {u"周刊", 4, u"每周三出版", u"周报", true},
    {u"半月刊", 2, u"每月1、16日出版", u"文摘", false},
    {u"月刊", 1, u"每月15日出版", u"杂志", false},
    {u"双月刊", 0.5, u"单月10日出版", u"研究", false},
    {u"季刊", 1.0 / 3, u"季末月20日出版", u"学刊", false},
};

const char16_t *const closings[] = {
    u"栏目新颖，图文并茂，深受读者喜爱。",
    u"内容权威，信息量大，是了解行业动态的窗口。",
    u"贴近生活，通俗易懂，适合家庭订阅。",
    u"专家撰稿，观点鲜明，具有较高的参考价值。",
    u"版式精美，印刷考究，兼具阅读和收藏价值。",
};

struct Famous
{
    const char16_t *code, *name, *place, *category, *frequency, *serial;
    double unitPrice;
};
const Famous famous[] = {
    {u"1-1", u"人民日报", u"北京", u"时事政治", u"日报", u"CN11-0065", 1.5},
    {u"1-16", u"光明日报", u"北京", u"文化教育", u"日报", u"CN11-0026", 1.2},
    {u"1-54", u"经济日报", u"北京", u"经济管理", u"日报", u"CN11-0014", 1.2},
    {u"1-8", u"参考消息", u"北京", u"时事政治", u"日报", u"CN11-0086", 0.8},
    {u"1-9", u"中国青年报", u"北京", u"时事政治", u"日报", u"CN11-0061", 1.0},
    {u"3-1", u"解放日报", u"上海", u"时事政治", u"日报", u"CN31-0001", 1.0},
    {u"3-4", u"文汇报", u"上海", u"文化教育", u"日报", u"CN31-0005", 1.0},
    {u"45-6", u"南方周末", u"广州", u"时事政治", u"周刊", u"CN44-0003", 3.0},
    {u"2-1", u"求是", u"北京", u"时事政治", u"半月刊", u"CN11-1000", 7.5},
    {u"2-2", u"半月谈", u"北京", u"时事政治", u"半月刊", u"CN11-1011", 4.0},
    {u"54-17", u"读者", u"兰州", u"文学艺术", u"半月刊", u"CN62-1118", 5.0},
    {u"4-25", u"故事会", u"上海", u"文学艺术", u"半月刊", u"CN31-1027", 4.5},
    {u"2-805", u"中国国家地理", u"北京", u"科学技术", u"月刊", u"CN11-4542", 16.0},
    {u"2-1059", u"青年文摘", u"北京", u"文学艺术", u"半月刊", u"CN11-1295", 5.0},
    {u"2-210", u"大众电影", u"北京", u"文学艺术", u"半月刊", u"CN11-1106", 6.0},
};

double money(double v)
{
    return std::round(v * 100.0) / 100.0;
}

const Frequency &frequencyNamed(const QString &name)
{
    for (const Frequency &f : frequencies)
        if (name == QString::fromUtf16(f.name))
            return f;
    return frequencies[3];
}

} // namespace

CatalogueGenerator::CatalogueGenerator(unsigned seed) : m_random(seed) {}

int CatalogueGenerator::pick(int count)
{
    return std::uniform_int_distribution<int>(0, count - 1)(m_random);
}

QString CatalogueGenerator::issnFor(int serial) const
{
    // Seven digits and the ISSN check character (weights 8..2, modulo 11).
    const int base = 1000000 + serial % 9000000;
    const QString digits = QString::number(base);
    int sum = 0;
    for (int i = 0; i < 7; ++i)
        sum += digits[i].digitValue() * (8 - i);
    const int check = (11 - sum % 11) % 11;
    const QString c = check == 10 ? QStringLiteral("X") : QString::number(check);
    return digits.left(4) + u'-' + digits.mid(4) + c;
}

CatalogueGenerator::Record CatalogueGenerator::next(int pageIndex, int n)
{
    Record r;
    constexpr int famousCount = int(sizeof famous / sizeof famous[0]);
    if (pageIndex == 0 && n < famousCount) {
        const Famous &f = famous[n];
        const Frequency &freq = frequencyNamed(QString::fromUtf16(f.frequency));
        r.code = QString::fromUtf16(f.code);
        r.name = QString::fromUtf16(f.name);
        r.place = QString::fromUtf16(f.place);
        r.category = QString::fromUtf16(f.category);
        r.frequency = QString::fromUtf16(freq.name);
        r.kind = freq.newspaper ? QStringLiteral("报纸") : QStringLiteral("期刊");
        r.publishDate = QString::fromUtf16(freq.publishDate);
        r.unitPrice = f.unitPrice;
        r.serialNo = QString::fromUtf16(f.serial);
    } else {
        const Subject &subject = subjects[pick(int(std::size(subjects)))];
        const Frequency &freq = frequencies[pick(int(std::size(frequencies)))];
        r.category = QString::fromUtf16(subject.category);
        r.frequency = QString::fromUtf16(freq.name);
        r.kind = freq.newspaper ? QStringLiteral("报纸") : QStringLiteral("期刊");
        r.publishDate = QString::fromUtf16(freq.publishDate);
        // Newspapers cost little per issue, magazines more.
        const double low = freq.newspaper ? 0.5 : 3.0, high = freq.newspaper ? 3.0 : 25.0;
        r.unitPrice = money(low + (high - low) * std::uniform_real_distribution<double>(0, 1)(m_random));
        if (pageIndex == 2) {
            r.place = QString::fromUtf16(foreignPlaces[pick(int(std::size(foreignPlaces)))]);
            r.name = QString::fromUtf16(foreignPrefixes[pick(int(std::size(foreignPrefixes)))])
                + QString::fromUtf16(subject.word) + QString::fromUtf16(freq.suffix);
            r.unitPrice = money(r.unitPrice * 3);
            r.code = QStringLiteral("W%1").arg(10001 + n);
        } else {
            const Place &place = places[pick(int(std::size(places)))];
            r.place = QString::fromUtf16(place.name);
            const bool local = pick(3) == 0;
            r.name = (local ? r.place : QString::fromUtf16(prefixes[pick(int(std::size(prefixes)))]))
                + QString::fromUtf16(subject.word) + QString::fromUtf16(freq.suffix);
            r.serialNo = QStringLiteral("CN%1-%2").arg(place.province).arg(1000 + n % 9000, 4, 10, QChar(u'0'));
            // Post-office codes are "area-number"; generated numbers start at 100 so that
            // they never meet the well-known titles.
            r.code = pageIndex == 0 ? QStringLiteral("%1-%2").arg(1 + n % 82).arg(100 + n / 82)
                                    : QStringLiteral("ZB%1").arg(1001 + n);
        }
    }
    const Frequency &freq = frequencyNamed(r.frequency);
    r.yearPrice = money(r.unitPrice * freq.issuesPerMonth * 12);
    r.monthPrice = money(r.yearPrice / 12);
    if (pageIndex != 0)
        r.issn = issnFor(n * 7919 + pageIndex * 104729);
    r.remarks = QStringLiteral("《%1》是%2出版的%3类%4，%5。%6")
                    .arg(r.name, r.place, r.category, r.kind, r.frequency,
                         QString::fromUtf16(closings[pick(int(std::size(closings)))]));
    return r;
}
