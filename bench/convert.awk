# The conversion as a plain gawk script, to compare varnel-cli against: records of
# exactly 84 bytes, four 16-byte fields stripped of bytes 0 to 32, X and Y exchanged,
# joined by semicolons, CR LF line ends. Run it with LC_ALL=C so that bytes are characters.
BEGIN { RS = "\r\n|\r|\n"; ORS = "\r\n" }
length($0) == 84 {
  f1 = substr($0, 5, 16); f2 = substr($0, 21, 16); f3 = substr($0, 37, 16); f4 = substr($0, 53, 16)
  gsub(/[\001-\040]/, "", f1); gsub(/[\001-\040]/, "", f2); gsub(/[\001-\040]/, "", f3); gsub(/[\001-\040]/, "", f4)
  print f1 ";" f3 ";" f2 ";" f4
}
