SELECT /* a */ 1 -- b
, [x y], "z" FROM T WHERE a = 'it''s' ; SELECT 0x1F